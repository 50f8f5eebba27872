#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# only those that are missing, on Debian 13 or Debian 12; for the tests
# also axe-core, the one npm package, as its lockfile pins it.
#
#   scripts/setup.sh [run|package|test]      (default test)
#
# run: building and starting the program; package: that and the tools that
# build and check the .deb; test: everything scripts/test.sh needs.
#
# A mirror in the middle of a sync serves an index that disagrees with its
# Release file for minutes at a time. So `apt-get update` is tried a few
# times; an index that still fails is named in a warning and the set-up goes
# on with what the mirror did serve. If a package then cannot be installed,
# the set-up stops with a message that says which index failed and why.
# It never changes the machine's apt configuration and never downgrades or
# removes an installed package.
set -euo pipefail

group=${1:-test}
case "$group" in run | package | test) ;;
  *) echo "usage: scripts/setup.sh [run|package|test]" >&2; exit 2 ;;
esac

# Attempts at `apt-get update` and the pause between them.
update_tries=${INFOTEST_APT_UPDATE_TRIES:-3}
update_pause=${INFOTEST_APT_UPDATE_PAUSE:-20}

# The Liberation fonts 2.x (metric twins of Arial, which the layout is
# measured in) are fonts-liberation2 on Debian 12, where fonts-liberation is
# still the old 1.07; Debian 13 moved 2.x into fonts-liberation and keeps
# fonts-liberation2 only as a transitional package.
release=$(. /etc/os-release 2>/dev/null && echo "${VERSION_ID:-}")
if [ -n "$release" ] && [ "${release%%.*}" -le 12 ] 2>/dev/null; then
  liberation=fonts-liberation2
else
  liberation=fonts-liberation
fi

run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n "$liberation" fonts-dejavu-core
)
package_packages=(
  dpkg-dev file desktop-file-utils appstream lintian man-db
  xvfb xauth xdotool x11-utils
)
test_packages=(
  "${package_packages[@]}"
  libgtest-dev googletest clang-tidy clang-format
  imagemagick libx11-dev icewm
  python3 python3-pyatspi at-spi2-core dbus-x11 orca
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 libxi6:i386 fonts-wine
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 libxi6
  unzip debootstrap fontconfig ca-certificates
  emscripten binaryen nodejs node-acorn chromium firefox-esr
  python3-websocket python3-fonttools python3-brotli
)

packages=("${run_packages[@]}")
case "$group" in
  package) packages+=("${package_packages[@]}") ;;
  test) packages+=("${test_packages[@]}") ;;
esac

# The page's accessibility check runs axe-core, which Debian does not
# package: the version its lockfile pins, checked against the lockfile's
# hash, goes into build/npm (nothing of the machine's own changes).
install_npm_packages() {
  [ "$group" = test ] || return 0
  python3 "$(dirname "$0")/npm-locked.py" "$(dirname "$0")/../tests/web/accessibility/package-lock.json" \
    "$(dirname "$0")/../build/npm"
}

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  install_npm_packages
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
# For this run only, not written to the machine's configuration: a mirror
# that stops answering fails a download instead of hanging it, a lock held
# by an unattended upgrade is waited for, and a configuration file the
# machine's administrator changed is kept as it is, without a question
# that nobody is there to answer.
apt_options=(-o Acquire::http::Timeout=30 -o Acquire::https::Timeout=30 -o Acquire::Retries=2
  -o DPkg::Lock::Timeout=300 -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold)

# The 32-bit Wine (wine32:i386) comes from Debian's i386 architecture,
# which this adds to the machine's package sources.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi

# Updates the package indexes, trying again while an index fails; sets
# failed_indexes to the addresses that failed on the last try.
failed_indexes=()
update_indexes() {
  local try log status
  log=$(mktemp)
  for ((try = 1; try <= update_tries; try++)); do
    status=0
    "${sudo[@]}" apt-get "${apt_options[@]}" update 2>&1 | tee "$log" || status=$?
    # apt exits 100 on a hash or size mismatch, but only warns, and exits
    # 0, when it keeps an older copy of an index that failed.
    mapfile -t failed_indexes < <(sed -n 's/^[WE]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u)
    if [ "$status" -eq 0 ] && [ ${#failed_indexes[@]} -eq 0 ]; then
      rm -f "$log"
      return 0
    fi
    if [ ${#failed_indexes[@]} -eq 0 ]; then
      failed_indexes=("(apt-get update exited with status $status)")
    fi
    if [ "$try" -lt "$update_tries" ]; then
      echo "setup.sh: apt-get update failed (try $try of $update_tries); trying again in $update_pause s" >&2
      sleep "$update_pause"
    fi
  done
  rm -f "$log"
  {
    echo "setup.sh: warning: after $update_tries tries these package indexes still failed to download:"
    printf '  %s\n' "${failed_indexes[@]}"
    echo "setup.sh: the mirror is probably in the middle of a sync; going on with the indexes it did serve"
  } >&2
}

update_indexes
install_status=0
"${sudo[@]}" apt-get "${apt_options[@]}" install -y --no-install-recommends --no-remove "${missing[@]}" ||
  install_status=$?
if [ "$install_status" -ne 0 ]; then
  {
    echo
    echo "setup.sh: could not install: ${missing[*]} (apt-get exited with status $install_status)"
    if [ ${#failed_indexes[@]} -ne 0 ]; then
      echo "setup.sh: these package indexes failed to download:"
      printf '  %s\n' "${failed_indexes[@]}"
      echo "setup.sh: the mirror is probably in the middle of a sync. Nothing was downgraded or removed,"
      echo "setup.sh: and apt's configuration is unchanged. Try again later: scripts/setup.sh $group"
    else
      echo "setup.sh: apt-get's messages above say why. Nothing was downgraded or removed."
    fi
  } >&2
  exit 1
fi
install_npm_packages
