#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format
# says, and lists those files; `scripts/format-check.sh --fix` formats them
# in place instead. Uses Debian's clang-format (version 14).
set -euo pipefail
cd "$(dirname "$0")/.."

command -v clang-format >/dev/null || { echo "format-check.sh: clang-format is missing" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')

if [ "${1:-}" = --fix ]; then
  clang-format -i --style=file "${files[@]}"
  exit 0
fi

unformatted=()
for file in "${files[@]}"; do
  if ! clang-format --style=file "$file" | cmp -s - "$file"; then unformatted+=("$file"); fi
done
if [ ${#unformatted[@]} -ne 0 ]; then
  echo "not formatted (run scripts/format-check.sh --fix):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "all ${#files[@]} C++ files are formatted"
