#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs the main job: the demo
# cartridge for five seconds of emulated time under a key script, writing
# demo.png (the last frame) and demo.wav (its sound), and printing the speed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
build/bin/tamboril-run --frames 300 --keys "60:Right+A,90:Up,120:L,150:-" \
    --screenshot demo.png --audio demo.wav --bench build/bin/demo.gba
echo "wrote demo.png and demo.wav"
