#!/usr/bin/env bash
# Proves the README's two commands on a bare Debian 12, the way a new user
# meets them: nothing of a developer's machine is there.
#
#   scripts/fresh-debian-check.sh [--full]
#
# 1. debootstrap --variant=minbase makes a fresh bookworm root from the
#    mirror that apt uses on this machine, and copies this tree into it;
# 2. in the root, scripts/run.sh sets up, builds and starts the program,
#    whose 794 x 428 window must appear on a virtual X display;
# 3. in the same root, scripts/setup.sh test, then every configure preset,
#    so that a package the set-up forgot fails here. With --full, the whole
#    of scripts/test.sh runs there instead (this check left out: a root
#    within the root proves nothing more); it takes as long as CI.
#
# Everything happens in a mount and process namespace of its own: the
# mounts the root needs (/proc, /dev, /dev/pts, /dev/shm) are never seen
# outside it, and when the check ends, or fails, or is killed, every process
# started in the root ends with it. The root is removed afterwards. Every
# step that reaches the network is bounded in time. The .deb files that this
# machine's apt already has are linked into the root's apt cache, so they
# are not downloaded again. Logs are kept in build/fresh-debian/.
#
# Needs root and the Debian packages debootstrap, xvfb, xdotool and
# x11-utils (scripts/setup.sh test installs them).
set -euo pipefail
cd "$(dirname "$0")/.."

suite=bookworm
# Seconds each step may take before it counts as hung, most of them on the
# network: making the root, the run command (its set-up, build and start),
# the test set-up, and configuring one preset.
bootstrap_timeout=${INFOTEST_FRESH_BOOTSTRAP_TIMEOUT:-600}
run_timeout=${INFOTEST_FRESH_RUN_TIMEOUT:-1200}
setup_timeout=${INFOTEST_FRESH_SETUP_TIMEOUT:-1800}
preset_timeout=${INFOTEST_FRESH_PRESET_TIMEOUT:-300}
full_timeout=${INFOTEST_FRESH_FULL_TIMEOUT:-3600}
# apt gives up on a mirror that does not answer for this long.
network_timeout=30

logs=$PWD/build/fresh-debian
source_in_root=/root/infotest

fail() {
  echo "fresh-debian-check.sh: $*" >&2
  exit 1
}

step_start=$SECONDS
step() {
  echo "=== fresh debian: $* ($((SECONDS - step_start)) s so far)"
}

# run_logged NAME TIMEOUT COMMAND...: runs the command with its output in
# $logs/NAME.log; on failure shows the end of the log and says why.
run_logged() {
  local name=$1 limit=$2 status=0
  shift 2
  local start=$SECONDS
  timeout --kill-after=10 "$limit" "$@" >"$logs/$name.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$logs/$name.log" >&2
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
      fail "$name did not finish within $limit s (is the mirror slow or unreachable?); log: $logs/$name.log"
    fi
    fail "$name failed with status $status; log: $logs/$name.log"
  fi
  echo "$name: $((SECONDS - start)) s"
}

# root_argv COMMAND: sets argv to the command line that runs COMMAND in the
# clone inside the root, with the environment a fresh machine's root user
# has and nothing of this one's.
root_argv() {
  argv=(env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    ${DISPLAY:+DISPLAY="$DISPLAY"}
    chroot "$root" /bin/bash -c "cd $source_in_root && $1")
}
in_root() {
  local argv
  root_argv "$1"
  "${argv[@]}"
}

# ---------------------------------------------------------------- inside
# The part that runs in the namespace: "$0" --inside ROOT MIRROR.

mounted=()
xvfb_pid=
inside_cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
  done
}

mount_root() {
  mkdir -p "$root/dev/pts" "$root/dev/shm" "$root/proc"
  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  mount --bind /dev "$root/dev" && mounted+=("$root/dev")
  mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
  # A shared-memory folder of its own, so that nothing in the root writes
  # into this machine's.
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm" && mounted+=("$root/dev/shm")
}

# The root reaches the package registry the way this machine does: the same
# sources and apt settings (a snapshot mirror needs its Valid-Until check
# off, for instance), the keys they name, and time limits on every download.
configure_apt() {
  rm -f "$root/etc/apt/sources.list"
  local file key
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
    /etc/apt/apt.conf.d/* /etc/apt/trusted.gpg.d/*; do
    [ -f "$file" ] && cp "$file" "$root$file"
  done
  for key in $(sed -n 's/^[[:space:]]*Signed-By:[[:space:]]*//p; s/.*signed-by=\([^] ]*\).*/\1/p' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null); do
    if [ -f "$key" ] && [ ! -e "$root$key" ]; then
      mkdir -p "$root$(dirname "$key")"
      cp "$key" "$root$key"
    fi
  done
  cat >"$root/etc/apt/apt.conf.d/99fresh-debian-check" <<EOF
// Fail instead of waiting for a mirror that does not answer.
Acquire::http::Timeout "$network_timeout";
Acquire::https::Timeout "$network_timeout";
Acquire::Retries "2";
EOF
}

copy_source() {
  mkdir -p "$root$source_in_root"
  # The files of this clone, as a fresh clone would have them, without its
  # build folders.
  git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf - |
    tar -xf - -C "$root$source_in_root"
}

start_display() {
  # The root's programs reach this X server through its abstract socket,
  # which a chroot shares.
  Xvfb -screen 0 1280x1024x24 -noreset -nolisten tcp -displayfd 3 \
    3>"$logs/display" 2>"$logs/xvfb.log" &
  xvfb_pid=$!
  local _
  for _ in $(seq 100); do
    if [ -s "$logs/display" ] && xdpyinfo -display ":$(cat "$logs/display")" >/dev/null 2>&1; then
      DISPLAY=":$(cat "$logs/display")"
      export DISPLAY
      return
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$logs/xvfb.log" >&2
  fail "Xvfb did not start"
}

# The README's run command, unchanged: it sets up, builds and then starts
# the program in the foreground. The check waits for its window.
run_command() {
  local start=$SECONDS deadline=$((SECONDS + run_timeout)) window='' pid
  local argv
  root_argv "exec scripts/run.sh"
  "${argv[@]}" >"$logs/run-command.log" 2>&1 &
  pid=$!
  # env, chroot and bash exec in turn, and run.sh execs the program: the
  # window belongs to this very process.
  while [ -z "$window" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      tail -n 40 "$logs/run-command.log" >&2
      fail "scripts/run.sh ended before a window appeared; log: $logs/run-command.log"
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      kill "$pid" 2>/dev/null || true
      tail -n 40 "$logs/run-command.log" >&2
      fail "no window from scripts/run.sh within $run_timeout s (is the mirror slow or unreachable?); log: $logs/run-command.log"
    fi
    sleep 1
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
  done
  local geometry
  geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  echo "scripts/run.sh: window $window, $geometry, after $((SECONDS - start)) s"
  kill "$pid" 2>/dev/null || fail "the program ended by itself after its window appeared"
  wait "$pid" 2>/dev/null || true
  [ "$geometry" = 794x428 ] || fail "the window is $geometry, not 794x428"
}

configure_presets() {
  local presets preset
  # Every configure preset that is not hidden, whichever branches brought
  # them.
  presets=$(in_root "cmake --list-presets=configure" | sed -n 's/^[[:space:]]*"\([^"]*\)".*/\1/p')
  [ -n "$presets" ] || fail "cmake lists no configure presets"
  for preset in $presets; do
    root_argv "cmake --preset $preset"
    run_logged "configure-$preset" "$preset_timeout" "${argv[@]}"
  done
}

inside() {
  root=$1
  local mirror=$2 full=$3
  trap inside_cleanup EXIT

  step "debootstrap --variant=minbase $suite from $mirror"
  run_logged debootstrap "$bootstrap_timeout" \
    debootstrap --variant=minbase "$suite" "$root" "$mirror"
  configure_apt
  copy_source
  mount_root

  step "scripts/run.sh: set up, build and start the program"
  start_display
  run_command
  echo "packages after the run command: $(in_root "dpkg-query -W | wc -l")"

  step "scripts/setup.sh test and every configure preset"
  local argv
  root_argv "scripts/setup.sh test"
  run_logged setup-test "$setup_timeout" "${argv[@]}"
  echo "packages after the test set-up: $(in_root "dpkg-query -W | wc -l")"
  if [ "$full" = --full ]; then
    root_argv "INFOTEST_IN_FRESH_ROOT=1 scripts/test.sh"
    run_logged test-command "$full_timeout" "${argv[@]}"
    grep -A 20 '^=== stage times' "$logs/test-command.log"
  else
    configure_presets
  fi
}

# ---------------------------------------------------------------- outside

# Links (or, across file systems, copies) the .deb files of this machine's
# apt cache into the root's, where debootstrap and apt take them instead of
# downloading them. Nothing in the root writes to a .deb: apt and
# debootstrap only read them, or unlink a copy that does not match.
seed_apt_cache() {
  local archives=$root/var/cache/apt/archives
  mkdir -p "$archives"
  local debs=(/var/cache/apt/archives/*.deb)
  [ -e "${debs[0]}" ] || return 0
  cp -l "${debs[@]}" "$archives/" 2>/dev/null || cp "${debs[@]}" "$archives/"
  echo "apt cache: ${#debs[@]} .deb files from this machine"
}

outside() {
  local full=$1
  [ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mounts)"
  local tool missing=()
  for tool in debootstrap unshare chroot Xvfb xdotool xwininfo xdpyinfo git; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  [ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; run scripts/setup.sh test"

  # The mirror that this machine's apt takes $suite from.
  local mirror
  mirror=$(apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' |
    awk -v suite="$suite" '$2 == suite { print $1; exit }')
  [ -n "$mirror" ] || fail "apt on this machine has no source for $suite"

  rm -rf "$logs"
  mkdir -p "$logs"
  root=$(mktemp -d "${TMPDIR:-/var/tmp}/infotest-fresh-debian.XXXXXX")
  trap outside_cleanup EXIT
  trap 'exit 130' INT TERM
  # dpkg in the root need not sync every file it unpacks: the root is
  # thrown away. This halves the time debootstrap takes.
  mkdir -p "$root/etc/dpkg/dpkg.cfg.d"
  echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/fresh-debian-check"
  seed_apt_cache

  # --kill-child: if this script is killed, the namespace and everything
  # in it goes too.
  unshare --mount --propagation private --pid --kill-child \
    "$BASH" "$0" --inside "$root" "$mirror" "$full"
  echo "=== fresh debian: both commands work on a bare Debian 12, in $((SECONDS - step_start)) s"
}

outside_cleanup() {
  [ -n "${root:-}" ] && [ -d "$root" ] || return 0
  # The mounts lived in the namespace only; should one be visible here after
  # all, leave the root rather than delete through it.
  if grep -qF " $root/" /proc/self/mountinfo; then
    echo "fresh-debian-check.sh: $root still has mounts; not removed" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
}

if [ "${1:-}" = --inside ]; then
  inside "$2" "$3" "$4"
elif [ -n "${INFOTEST_IN_FRESH_ROOT:-}" ]; then
  echo "fresh-debian-check.sh: already inside a fresh root, nothing more to prove"
else
  case "${1:-}" in
    "" | --full) outside "${1:-}" ;;
    *) fail "usage: scripts/fresh-debian-check.sh [--full]" ;;
  esac
fi
