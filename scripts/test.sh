#!/usr/bin/env bash
# Builds and runs every test: a Release build, or with --sanitize a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. Prints CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build
flags=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIL_SANITIZE=ON)
  export LSAN_OPTIONS="suppressions=$PWD/tests/leak_suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure
