# frame_instructions.sh - sourced by the benchmark scripts: host instructions
# per emulated frame counted by callgrind.
#
# instructions_per_frame OUT COMMAND...: runs COMMAND under callgrind (its
# output file OUT) for 60 and for 180 frames, each argument "@FRAMES@" standing
# for the count, and prints the difference of the two totals divided by the
# 120 extra frames, so start-up drops out; "-" without valgrind.
instructions_per_frame() {
    command -v valgrind >/dev/null 2>&1 || { echo "-"; return; }
    local out=$1
    shift
    local counts=() frames arg args
    for frames in 60 180; do
        args=()
        for arg in "$@"; do args+=("${arg//@FRAMES@/$frames}"); done
        valgrind --tool=callgrind --callgrind-out-file="$out" "${args[@]}" >/dev/null 2>&1
        counts+=("$(awk '/^summary:/ { print $2 }' "$out")")
    done
    awk -v a="${counts[0]}" -v b="${counts[1]}" 'BEGIN { printf "%.0f", (b - a) / 120 }'
}
