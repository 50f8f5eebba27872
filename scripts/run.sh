#!/usr/bin/env bash
# Sets up, builds and starts the program. The program alone: its tests need
# packages that only scripts/setup.sh test installs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake --preset program
cmake --build --preset program -j "$(nproc 2>/dev/null || echo 2)"
exec build/program/infotest
