#!/usr/bin/env bash
# Builds the page (build/web/infotest.html) and the logic's tests with
# emscripten, runs the logic's and the model's tests under Node and the
# page's tests in headless Chromium, checks the finished file (size, policy,
# nothing outside it, script and WebAssembly old browsers can run) and takes
# one whole test in headless Firefox ESR. Exits non-zero when any step
# fails. Prints how long each step took.
#
# Needs the Debian packages emscripten, binaryen, nodejs, node-acorn,
# chromium, firefox-esr, python3-websocket, python3-fonttools,
# python3-brotli, fontconfig, Liberation Sans 2 (fonts-liberation2 on Debian
# 12, fonts-liberation on Debian 13), googletest, cmake and ninja-build.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
stage_name=web
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

# Debian's own Python: the checks need its fontTools and websocket modules.
python=/usr/bin/python3
missing=()
for tool in emcc node wasm-opt fc-match chromium firefox-esr "$python"; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -f /usr/share/nodejs/acorn/package.json ] || missing+=(acorn)
if [ ${#missing[@]} -ne 0 ]; then
  fail "missing ${missing[*]}; install emscripten binaryen nodejs node-acorn fontconfig chromium" \
    "firefox-esr python3-websocket python3-fonttools python3-brotli"
fi

build_dir=build/web
page=$build_dir/infotest.html

build() {
  cmake --preset web
  cmake --build --preset web -j "$jobs"
}
tests() {
  # One at a time: the browser tests each start a browser of their own.
  ctest --preset web
  # The random-sequence summaries, for the log.
  grep -h -E '^(seed: |(window )?sequences: [0-9]+)' "$build_dir/Testing/Temporary/LastTest.log" || true
}
page_checks() {
  [ -f "$page" ] || fail "$page was not built"
  "$python" tests/web/check_page.py "$page"
  # The checks themselves, against copies of the page with a fault put in.
  "$python" tests/web/check_page_test.py "$page" 2>&1 | grep -v ' bytes$'
}
firefox() {
  "$python" tests/web/firefox_test.py "$page"
}

step "build" build
step "tests under Node and Chromium" tests
step "page checks" page_checks
step "whole test in Firefox ESR" firefox
echo "=== web: all passed in $((SECONDS - total_start)) s"
