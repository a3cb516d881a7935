#!/usr/bin/env bash
# Formats the C++ sources with the checked-in .clang-format: format.sh
# rewrites them, format.sh --check only reports (exit 1 when a file differs).
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find app bench clock core fuzz orbit passes radio rotor station tests ui update web \
    -name '*.cpp' -o -name '*.h')
fi
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
