#!/usr/bin/env bash
# Proves the README's two commands on a bare Debian 13 and a bare Debian 12,
# the way a new user meets them: nothing of a developer's machine is there.
#
#   scripts/fresh-debian-check.sh                    both releases, as CI runs it
#   scripts/fresh-debian-check.sh [--full] RELEASE   one release (trixie or bookworm);
#                          INFOTEST_SANITIZER=off leaves out its sanitizer stages
#
# For a release:
# 1. debootstrap --variant=minbase makes a fresh root from the mirror that
#    apt uses on this machine, with the release's updates and security
#    suites as a real installation has them, and copies this tree into it;
# 2. in the root, scripts/run.sh sets up, builds and starts the program,
#    whose 794 x 428 window must appear on a virtual X display;
# 3. in the same root, scripts/setup.sh test, then every configure preset,
#    so that a package the set-up forgot fails here. With --full, the whole
#    of scripts/test.sh runs there instead (this check left out: a root
#    within the root proves nothing more).
# Without arguments, the release this machine runs gets steps 1 to 3, and
# the other release steps 1, 2 and the whole test command. There the
# sanitizer stages are left out (INFOTEST_SANITIZER=off), to keep CI well
# inside its time; the release build runs the same tests, end-to-end ones
# included.
#
# Everything happens in a mount and process namespace of its own: the
# mounts the root needs (/proc, /dev, /dev/pts, /dev/shm) are never seen
# outside it, and when the check ends, or fails, or is killed, every process
# started in the root ends with it. The root is removed afterwards. Every
# step that reaches the network is bounded in time. For the release this
# machine runs, the .deb files its apt already has are linked into the
# root's apt cache, so they are not downloaded again; the other release's
# root downloads everything. Logs are kept in build/fresh-debian/RELEASE/.
#
# Needs root and the Debian packages debootstrap, xvfb, xdotool and
# x11-utils (scripts/setup.sh test installs them).
set -euo pipefail
cd "$(dirname "$0")/.."

# The Debian releases the project runs on.
releases=(trixie bookworm)
# Seconds each step may take before it counts as hung, most of them on the
# network: making the root, the run command (its set-up, build and start),
# the test set-up, configuring one preset, and the whole test command.
bootstrap_timeout=${INFOTEST_FRESH_BOOTSTRAP_TIMEOUT:-600}
run_timeout=${INFOTEST_FRESH_RUN_TIMEOUT:-1200}
setup_timeout=${INFOTEST_FRESH_SETUP_TIMEOUT:-1800}
preset_timeout=${INFOTEST_FRESH_PRESET_TIMEOUT:-300}
full_timeout=${INFOTEST_FRESH_FULL_TIMEOUT:-3000}
# apt gives up on a mirror that does not answer for this long.
network_timeout=30

logs_top=$PWD/build/fresh-debian
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
# mirrors and the apt settings made on this machine (a snapshot mirror needs
# its Valid-Until check off, for instance), and time limits on every
# download. Its sources are a
# real installation's: the release, its updates and its security suite,
# checked with the root's own Debian archive keys.
configure_apt() {
  rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
  local file
  # The settings of this machine's own, not the files its packages bring:
  # another release's package brings its own version of those.
  for file in /etc/apt/apt.conf.d/*; do
    [ -f "$file" ] && ! dpkg -S "$file" >/dev/null 2>&1 && cp "$file" "$root$file"
  done
  cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror ${suite}-updates main
deb $security_mirror ${suite}-security main
EOF
  cat >"$root/etc/apt/apt.conf.d/99fresh-debian-check" <<EOF
// Fail instead of waiting for a mirror that does not answer.
Acquire::http::Timeout "$network_timeout";
Acquire::https::Timeout "$network_timeout";
Acquire::Retries "2";
EOF
}

# The certificate authorities this machine's administrator added (a proxy
# that inspects https, say) go into the root, as a real installation on the
# same network has them: the test set-up fetches the page checks' npm
# package over https. The root's ca-certificates takes them in when the
# set-up installs it.
copy_local_certificates() {
  [ -d /usr/local/share/ca-certificates ] || return 0
  mkdir -p "$root/usr/local/share/ca-certificates"
  cp -a /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
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

# inside ROOT SUITE MIRROR SECURITY_MIRROR MODE SANITIZER: the part that
# runs in the namespace. MODE is "presets" (the test set-up and every
# configure preset) or "full" (the whole test command, its sanitizer stages
# on or off).
inside() {
  root=$1 suite=$2 mirror=$3 security_mirror=$4
  local mode=$5 sanitizer=$6
  logs=$logs_top/$suite
  trap inside_cleanup EXIT

  step "$suite: debootstrap --variant=minbase from $mirror"
  run_logged debootstrap "$bootstrap_timeout" \
    debootstrap --variant=minbase "$suite" "$root" "$mirror"
  configure_apt
  copy_local_certificates
  copy_source
  mount_root

  step "$suite: scripts/run.sh: set up, build and start the program"
  start_display
  run_command
  echo "packages after the run command: $(in_root "dpkg-query -W | wc -l")"

  local argv
  if [ "$mode" = full ]; then
    step "$suite: scripts/test.sh, the whole test command"
    root_argv "INFOTEST_IN_FRESH_ROOT=1 INFOTEST_SANITIZER=$sanitizer scripts/test.sh"
    run_logged test-command "$full_timeout" "${argv[@]}"
    grep -A 20 '^=== stage times' "$logs/test-command.log"
  else
    step "$suite: scripts/setup.sh test and every configure preset"
    root_argv "scripts/setup.sh test"
    run_logged setup-test "$setup_timeout" "${argv[@]}"
    echo "packages after the test set-up: $(in_root "dpkg-query -W | wc -l")"
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

# The Debian release this machine runs, by its code name.
host_release() {
  (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# mirror_of SUITE: the site this machine's apt takes SUITE from.
mirror_of() {
  apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' |
    awk -v suite="$1" '$2 == suite { print $1; exit }'
}

# check_release SUITE MODE [SANITIZER]: one fresh root of SUITE, from making
# it to removing it.
check_release() {
  local suite=$1 mode=$2 sanitizer=${3:-on} start=$SECONDS
  local host mirror security_mirror
  host=$(host_release)
  # The same mirrors this machine's apt uses for its own release serve the
  # other release too.
  mirror=$(mirror_of "$host")
  [ -n "$mirror" ] || fail "apt on this machine has no source for its release ${host:-(unknown)}"
  security_mirror=$(mirror_of "$host-security")
  [ -n "$security_mirror" ] || security_mirror=http://deb.debian.org/debian-security/

  rm -rf "${logs_top:?}/$suite"
  mkdir -p "$logs_top/$suite"
  root=$(mktemp -d "${TMPDIR:-/var/tmp}/infotest-fresh-$suite.XXXXXX")
  # dpkg in the root need not sync every file it unpacks: the root is
  # thrown away. This halves the time debootstrap takes.
  mkdir -p "$root/etc/dpkg/dpkg.cfg.d"
  echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/fresh-debian-check"
  if [ "$suite" = "$host" ]; then seed_apt_cache; fi

  # --kill-child: if this script is killed, the namespace and everything
  # in it goes too.
  unshare --mount --propagation private --pid --kill-child \
    "$BASH" "$0" --inside "$root" "$suite" "$mirror" "$security_mirror" "$mode" "$sanitizer"
  remove_root
  echo "=== fresh debian: $suite: both commands work on a bare $suite, in $((SECONDS - start)) s"
}

remove_root() {
  [ -n "${root:-}" ] && [ -d "$root" ] || return 0
  # The mounts lived in the namespace only; should one be visible here after
  # all, leave the root rather than delete through it.
  if grep -qF " $root/" /proc/self/mountinfo; then
    echo "fresh-debian-check.sh: $root still has mounts; not removed" >&2
    return 1
  fi
  rm -rf --one-file-system "$root"
  root=
}

outside() {
  [ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mounts)"
  local tool missing=()
  for tool in debootstrap unshare chroot Xvfb xdotool xwininfo xdpyinfo git; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  [ ${#missing[@]} -eq 0 ] || fail "missing ${missing[*]}; run scripts/setup.sh test"
  trap remove_root EXIT
  trap 'exit 130' INT TERM

  local mode=presets
  if [ "${1:-}" = --full ]; then
    mode=full
    shift
  fi
  if [ $# -eq 1 ]; then
    [[ " ${releases[*]} " == *" $1 "* ]] || fail "unknown release $1; known: ${releases[*]}"
    check_release "$1" "$mode" "${INFOTEST_SANITIZER:-on}"
    return
  fi
  [ "$mode" = presets ] && [ $# -eq 0 ] || fail "usage: scripts/fresh-debian-check.sh [[--full] RELEASE]"

  local host other
  host=$(host_release)
  [[ " ${releases[*]} " == *" $host "* ]] || fail "this machine runs ${host:-an unknown release}, not one of ${releases[*]}"
  for other in "${releases[@]}"; do [ "$other" = "$host" ] || break; done
  check_release "$host" presets
  check_release "$other" full off
  echo "=== fresh debian: $host and $other both pass, in $((SECONDS - step_start)) s"
}

if [ "${1:-}" = --inside ]; then
  inside "$2" "$3" "$4" "$5" "$6" "$7"
elif [ -n "${INFOTEST_IN_FRESH_ROOT:-}" ]; then
  echo "fresh-debian-check.sh: already inside a fresh root, nothing more to prove"
else
  outside "$@"
fi
