#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the repository differs from the house style of
# .clang-format. `scripts/check-format.sh --fix` rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
else
  # A copy without its history: the same sources, by their folders.
  mapfile -t files < <(find src tests tools bench -name '*.cpp' -o -name '*.h' -o -name '*.c' | sort)
fi
if [[ "${1:-}" == --fix ]]; then
  "$format" -i "${files[@]}"
  exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! "$format" --dry-run --Werror "${files[@]}" 2>"$report"; then
  grep -o '^[^:]*:[0-9]*:[0-9]*: error' "$report" | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
  echo "These files differ from .clang-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
