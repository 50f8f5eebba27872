# Timed steps and a failure message for a stage script, both named after the
# stage: set stage_name (e.g. "windows") before sourcing this file.
total_start=$SECONDS
step() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== $stage_name: $name"
  "$@"
  echo "=== $stage_name: $name: $((SECONDS - start)) s"
}
fail() {
  echo "$stage_name-tests.sh: $*" >&2
  exit 1
}
