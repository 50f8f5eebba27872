#!/usr/bin/env bash
# Sets up, builds and runs every check of the project; exits non-zero on the
# first failure. Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
timings=()
stage() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== $name"
  "$@"
  timings+=("$(printf '%-22s %4d s' "$name" $((SECONDS - start)))")
  echo "=== $name: $((SECONDS - start)) s"
}

release_build() {
  cmake --preset ci
  cmake --build --preset ci -j "$jobs"
}
sanitizer_build() {
  cmake --preset sanitize
  cmake --build --preset sanitize -j "$jobs"
}
# Runs a test preset and repeats the random-sequence summaries for the log.
tests_of() {
  ctest --preset "$1" -j "$jobs"
  grep -h -E '^(seed: |(window )?sequences: [0-9]+)' "build/$1/Testing/Temporary/LastTest.log" || true
}
total_start=$SECONDS
stage "set-up" scripts/setup.sh test
stage "format check" scripts/format-check.sh
stage "release build" release_build
stage "release tests" tests_of ci
# INFOTEST_SANITIZER=off leaves the sanitizer stages out (the second
# release's run in the fresh-Debian stage does, to keep CI short).
if [ "${INFOTEST_SANITIZER:-on}" != off ]; then
  stage "sanitizer build" sanitizer_build
  stage "sanitizer tests" tests_of sanitize
fi
stage "static analysis" scripts/static-analysis.sh
stage "windows tests" scripts/windows-tests.sh
stage "web tests" scripts/web-tests.sh
stage "package checks" scripts/package-checks.sh
stage "fresh debian" scripts/fresh-debian-check.sh
echo "=== stage times"
printf '%s\n' "${timings[@]}"
echo "=== all checks passed in $((SECONDS - total_start)) s"
