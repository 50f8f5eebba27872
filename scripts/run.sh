#!/usr/bin/env bash
# Sets up, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset release
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
exec build/release/infotest
