#!/usr/bin/env bash
# Sets up, builds and runs every check of the project; exits non-zero on the
# first failure. Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
stage() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== $name"
  "$@"
  echo "=== $name: $((SECONDS - start)) s"
}

release_build() {
  cmake --preset ci
  cmake --build --preset ci -j "$jobs"
}
release_tests() {
  ctest --preset ci -j "$jobs"
}

total_start=$SECONDS
stage "set-up" scripts/setup.sh test
stage "release build" release_build
stage "release tests" release_tests
echo "=== all checks passed in $((SECONDS - total_start)) s"
