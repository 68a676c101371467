#!/usr/bin/env bash
# Installs what is missing, builds in Release and shows the demo cartridge:
# in Tamboril's window when a display exists (DISPLAY or WAYLAND_DISPLAY set),
# otherwise headless for five seconds of emulated time under a key script,
# writing demo.png (the last frame) and demo.wav (its sound) and printing the
# speed. It says which it did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "A display is present: opening the demo cartridge in Tamboril's window (build/bin/tamboril)."
  exec build/bin/tamboril build/bin/demo.gba
fi
echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the demo cartridge headless."
build/bin/tamboril-run --frames 300 --keys "60:Right+A,90:Up,120:L,150:-" \
    --screenshot demo.png --audio demo.wav --bench build/bin/demo.gba
echo "wrote demo.png and demo.wav"
