#!/usr/bin/env bash
# Builds the .deb and checks it the way a classroom machine would use it:
#
#   scripts/package-checks.sh [BUILD_DIR]      (default build/package)
#
# 1. a release build of the program alone, and `cpack -G DEB`;
# 2. lintian, Debian's own checks, with no error and no warning;
#    desktop-file-validate and appstreamcli validate on the packaged files;
# 3. apt-get installs the package with its dependencies; the validators
#    run again on the installed files, and the desktop entry, the icons and
#    the metainfo must name each other and the program;
# 4. the program starts from the Exec line of the installed desktop entry on
#    a virtual X display, and its window must map;
# 5. apt-get removes the package, and none of its files may remain.
#
# It installs and removes the package on this machine, so it needs root (or
# sudo), and it installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

build_dir=${1:-build/package}
desktop_id=io.github.infotest.Infotest

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

step() { printf '\n== %s\n' "$*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

step "Debian packages for building and checking"
scripts/setup.sh run
needed=(dpkg-dev file desktop-file-utils appstream lintian man-db xvfb xauth xdotool x11-utils)
missing=()
for package in "${needed[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

step "Build and cpack in $build_dir"
# Only the program: the tests and the benchmark run elsewhere.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DINFOTEST_BUILD_TESTS=OFF -DINFOTEST_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j 2
rm -f "$build_dir"/infotest_*.deb
(cd "$build_dir" && cpack -G DEB)
debs=("$build_dir"/infotest_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single infotest_*.deb"
deb=$(realpath "${debs[0]}")
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "infotest_${version}_${arch}.deb" ] || fail "unexpected package name $(basename "$deb")"
echo "Package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dependency in fonts-liberation2 qt6-translations-l10n libqt6widgets6; do
  grep -qw "$dependency" <<<"$depends" || fail "Depends lacks $dependency"
done

# validate ROOT: both validators on the desktop entry and metainfo under ROOT.
validate() {
  local entry=$1/usr/share/applications/$desktop_id.desktop
  desktop-file-validate "$entry"  # silent when the entry is valid
  echo "desktop-file-validate $entry: valid"
  appstreamcli validate --no-net "$1/usr/share/metainfo/$desktop_id.metainfo.xml"
}

step "Validators on the packaged files"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
validate "$scratch/root"

step "lintian"
# Any error or warning fails. An override for a tag would go in
# /usr/share/lintian/overrides/infotest, with a comment saying why; there is
# none.
lintian_status=0
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1 || lintian_status=$?
grep -v '^running with root privileges is not recommended!$' "$scratch/lintian" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings (status $lintian_status)"
echo "lintian: no errors, no warnings"

step "Install with apt-get"
"${sudo[@]}" apt-get install -y --no-install-recommends "$deb"
[ "$(dpkg-query -W -f='${Status} ${Version}' infotest)" = "install ok installed $version" ] ||
  fail "infotest $version is not installed"
dpkg-query -L infotest >"$scratch/files"

step "Validators on the installed files"
validate ""
desktop=/usr/share/applications/$desktop_id.desktop
metainfo=/usr/share/metainfo/$desktop_id.metainfo.xml
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ "$(command -v "${exec_line%% *}")" = /usr/bin/infotest ] || fail "Exec=$exec_line is not /usr/bin/infotest"
# man finds the manual page, and in Russian for a Russian user; the
# changelog's newest entry is this version.
[ "$(man -w infotest)" = /usr/share/man/man1/infotest.1.gz ] || fail "man does not find infotest(1)"
[ "$(man -w -L ru infotest)" = /usr/share/man/ru/man1/infotest.1.gz ] || fail "man does not find the Russian infotest(1)"
changelog_version=$(dpkg-parsechangelog -l /usr/share/doc/infotest/changelog.gz -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's newest entry is $changelog_version, not $version"
[ "$icon" = "$desktop_id" ] || fail "Icon=$icon is not $desktop_id"
for size in 48 256; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  file "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not a $size px PNG"
done
grep -q "<id>$desktop_id</id>" "$metainfo" || fail "the metainfo has another id"
grep -q "<launchable type=\"desktop-id\">$desktop_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo launches another desktop entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo lists no release $version"
# The program reports the same id to the desktop (setDesktopFileName); Qt
# keeps the literal as UTF-16, so look for it in both encodings.
utf16=$(printf '%s' "$desktop_id" | sed 's/\./\\./g; s/\(\\\?.\)/\1\\x00/g')
LC_ALL=C grep -qaF "$desktop_id" /usr/bin/infotest || LC_ALL=C grep -qaP "$utf16" /usr/bin/infotest ||
  fail "/usr/bin/infotest does not name its desktop id $desktop_id"

step "Start from the desktop entry on a virtual display"
cat >"$scratch/start.sh" <<'EOF'
#!/usr/bin/env bash
# Runs the desktop entry's command line and waits for its window to map.
set -euo pipefail
exec_line=$1 wm_class=$2
export XDG_RUNTIME_DIR=$(mktemp -d)
$exec_line &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || {
  echo "no window of $exec_line mapped within 30 s" >&2
  exit 1
}
geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
class=$(xprop -id "$window" WM_CLASS)
title=$(xprop -id "$window" _NET_WM_NAME)
echo "window $window: $geometry, $class"
echo "$title"
[ "$geometry" = 794x428 ] || { echo "the window is $geometry, not 794x428" >&2; exit 1; }
# Desktops match the window with the entry (and its icon) by this class.
grep -q "\"$wm_class\"" <<<"$class" || { echo "WM_CLASS does not name $wm_class" >&2; exit 1; }
kill -0 "$pid" || { echo "the program ended" >&2; exit 1; }
EOF
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$scratch/start.sh" "$exec_line" "$wm_class"

step "Remove with apt-get"
"${sudo[@]}" apt-get remove -y infotest
status=$(dpkg-query -W -f='${Status}' infotest 2>/dev/null || true)
case "$status" in "" | "unknown ok not-installed" | "deinstall ok not-installed") ;;
  *) fail "after removal the package is still \"$status\"" ;;
esac
left=()
while read -r path; do
  # Directories such as /usr/share/icons belong to other packages too.
  if [ -e "$path" ] && [ ! -d "$path" ]; then left+=("$path"); fi
done <"$scratch/files"
[ ${#left[@]} -eq 0 ] || fail "files left after removal: ${left[*]}"
[ ! -d /usr/share/doc/infotest ] || fail "/usr/share/doc/infotest is left after removal"

printf '\nPackage checks passed in %d s\n' $((SECONDS - started))
