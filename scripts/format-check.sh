#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format
# says, and lists those files; `scripts/format-check.sh --fix` formats them
# in place instead. Uses Debian's clang-format: version 14 on Debian 12 and
# version 19 on Debian 13 give the same verdict on the tree, and a tree
# either one has fixed passes with the other. The two disagree on a few
# constructs, which the code therefore avoids: a lambda written between
# other arguments of a call (name it first) and a function that returns a
# pointer to a member function (give that type a name with `using`).
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
echo "all ${#files[@]} C++ files are formatted ($(clang-format --version | sed 's/.*version \([0-9.]*\).*/clang-format \1/'))"
