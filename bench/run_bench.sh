#!/usr/bin/env bash
# Compares infotest's start-up with an empty Qt window of the same size, on a
# virtual X display of its own:
#
#   bench/run_bench.sh [--runs N] [--idle-s S] [--build-dir DIR]
#
# Each program is started N times (default 10), the two taking turns; every
# start measures the time from the start of the process to the X server's
# map of its window, the CPU time the program had used by then, and the
# resident memory a second later. One more start of each then idles S
# seconds (default 10) on the title screen for its CPU use. The table shows
# the medians and infotest's ratios to the empty window. The wall-clock
# start-up suffers from whatever else the machine runs; the CPU time much
# less, so a start-up ratio far from the CPU ratio means a busy machine.
#
# Like on a desktop, the programs find a D-Bus session bus (a private one
# from dbus-run-session, when there is none); without one, Qt's
# accessibility would start a bus through X11 autolaunch on the first start.
#
# Without --build-dir the release build (build/release) is configured and
# the three programs are built in it. Needs Xvfb (xvfb) and, to build the
# probe, the Xlib headers (libx11-dev).
set -euo pipefail
script="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"

runs=10
idle_s=10
build_dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --idle-s) idle_s=$2; shift 2 ;;
    --build-dir) build_dir=$(cd "$2" && pwd); shift 2 ;;
    *) echo "usage: bench/run_bench.sh [--runs N] [--idle-s S] [--build-dir DIR]" >&2; exit 2 ;;
  esac
done

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
  # The private bus daemon cannot raise its file limit as root; that is harmless.
  exec dbus-run-session -- "$script" --runs "$runs" --idle-s "$idle_s" ${build_dir:+--build-dir "$build_dir"} \
    2> >(grep -v 'Failed to set fd limit' >&2)
fi
cd "$(dirname "$script")/.."

targets=(infotest infotest_empty_window infotest_map_probe)
if [ -z "$build_dir" ]; then
  build_dir=build/release
  [ -f "$build_dir/CMakeCache.txt" ] || cmake --preset release >/dev/null
  cmake --build --preset release -j 2 --target "${targets[@]}" >/dev/null
else
  cmake --build "$build_dir" -j 2 --target "${targets[@]}" >/dev/null
fi
empty="$build_dir/bench/infotest_empty_window"
infotest="$build_dir/infotest"
probe="$build_dir/bench/infotest_map_probe"

# The display: no window manager, so a window is mapped as soon as the
# program asks. Xvfb picks a free display number and reports it; -noreset
# keeps it from resetting, and refusing connections, between two starts.
scratch=$(mktemp -d)
Xvfb -screen 0 1280x1024x24 -nolisten tcp -noreset -displayfd 3 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.05
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# measure NAME PROGRAM IDLE_S: one start, its figures appended to NAME's file.
measure() {
  "$probe" --idle-s "$3" -- "$2" >>"$scratch/$1" 2>>"$scratch/$1.log" || {
    echo "$2 did not start:" >&2
    cat "$scratch/$1.log" >&2
    exit 1
  }
}

# One start each that is not counted, so that both find the libraries, the
# font caches and the images in the page cache.
"$probe" -- "$empty" >/dev/null 2>&1 || true
"$probe" -- "$infotest" >/dev/null 2>&1 || true

for i in $(seq "$runs"); do
  if [ $((i % 2)) -eq 1 ]; then
    measure empty "$empty" 0
    measure infotest "$infotest" 0
  else
    measure infotest "$infotest" 0
    measure empty "$empty" 0
  fi
done
measure empty_idle "$empty" "$idle_s"
measure infotest_idle "$infotest" "$idle_s"

# field FILE KEY: the KEY values of FILE, one a line.
field() { sed -n "s/.*\<$2=\([0-9.]*\).*/\1/p" "$scratch/$1"; }
median() {
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
range() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.1f-%.1f", lo, hi }'; }

e_ms=$(field empty startup_ms | median)
i_ms=$(field infotest startup_ms | median)
e_cpu_ms=$(field empty startup_cpu_ms | median)
i_cpu_ms=$(field infotest startup_cpu_ms | median)
e_kib=$(field empty rss_kib | median)
i_kib=$(field infotest rss_kib | median)
e_cpu=$(field empty_idle cpu_percent)
i_cpu=$(field infotest_idle cpu_percent)
e_fine_cpu=$(field empty_idle fine_cpu_percent)
i_fine_cpu=$(field infotest_idle fine_cpu_percent)
e_range=$(field empty startup_ms | range)
i_range=$(field infotest startup_ms | range)

awk -v runs="$runs" -v idle="$idle_s" \
    -v e_ms="$e_ms" -v i_ms="$i_ms" -v e_cpu_ms="$e_cpu_ms" -v i_cpu_ms="$i_cpu_ms" \
    -v e_kib="$e_kib" -v i_kib="$i_kib" -v e_cpu="$e_cpu" -v i_cpu="$i_cpu" \
    -v e_range="$e_range" -v i_range="$i_range" -v e_fine_cpu="$e_fine_cpu" -v i_fine_cpu="$i_fine_cpu" '
function verdict(ok) { return ok ? "met" : "MISSED" }
BEGIN {
  ms_ratio = i_ms / e_ms; cpu_ratio = i_cpu_ms / e_cpu_ms; kib_ratio = i_kib / e_kib
  printf "%d starts each, medians; idle CPU over %d s on the first screen\n\n", runs, idle
  printf "%-17s %13s %13s %12s %12s\n", "", "start-up, ms", "(its CPU, ms)", "memory, MiB", "idle CPU, %"
  printf "%-17s %13.1f %13.1f %12.1f %12.2f\n", "empty window", e_ms, e_cpu_ms, e_kib / 1024, e_cpu
  printf "%-17s %13.1f %13.1f %12.1f %12.2f\n", "infotest", i_ms, i_cpu_ms, i_kib / 1024, i_cpu
  printf "%-17s %12.3fx %12.3fx %11.3fx\n", "infotest / empty", ms_ratio, cpu_ratio, kib_ratio
  printf "%-17s %13s %13s %12s %12s\n", "target", "<= 1.25x", "", "<= 1.25x", "< 0.5"
  printf "%-17s %13s %13s %12s %12s\n\n", "", verdict(ms_ratio <= 1.25), "", verdict(kib_ratio <= 1.25), verdict(i_cpu < 0.5)
  split(e_range, e_lohi, "-"); split(i_range, i_lohi, "-")
  # Other programs on the machine only add time: the fastest starts show
  # the ratio with the least of it.
  printf "start-up range, ms: empty window %s, infotest %s; fastest starts %.3fx\n", e_range, i_range, i_lohi[1] / e_lohi[1]
  printf "idle CPU from the ns counts of the scheduler, %%: empty window %.3f, infotest %.3f\n", e_fine_cpu, i_fine_cpu
}'
