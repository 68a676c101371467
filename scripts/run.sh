#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
build/bin/tamboril-run --frames 600 --regs --bench build/programs/count_loop.gba
