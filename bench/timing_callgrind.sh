#!/usr/bin/env bash
# timing_callgrind.sh - host instructions per emulated frame of bench/timing_busy.s
# under callgrind, and the share the timing work takes of them: the scanline
# step with the timers, the direct-sound feed and timed DMA (RunSlice), not
# counting the drawing and presenting it hands to the renderer.
#
# Usage: bench/timing_callgrind.sh [BUILD_DIR] [FRAMES]   (defaults: build, 200)
set -euo pipefail
build=${1:-build}
frames=${2:-200}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" \
  "$build/bin/timing-speed" "$build/bench/timing_busy.gba" "$frames" > /dev/null 2>&1
# timing-speed runs 10 frames to settle before the timed ones.
callgrind_annotate --inclusive=yes --threshold=100 "$out" | awk -v frames=$((frames + 10)) '
  function count(s) { gsub(",", "", s); return s + 0 }
  /:Headless::RunFrames\(int\)/ { total = count($1) }
  /:RunSlice\(\)/               { slice = count($1) }
  /:RenderLine\(int\)/          { render = count($1) }
  /:PresentFrame\(\)/           { present = count($1) }
  /:StepTimers\(int\)/          { timers = count($1) }
  /:RunDma\(int\)/              { dma = count($1) }
  END {
    timing = slice - render - present
    printf "frame: %d host instructions\n", total / frames
    printf "timing work (scanline step, timers, feed, timed DMA): %d a frame, %.2f%%\n", timing / frames, 100 * timing / total
    printf "  of which timers and feed %d, DMA %d; drawing and presenting (not counted) %d\n", timers / frames, dma / frames, (render + present) / frames
  }'
