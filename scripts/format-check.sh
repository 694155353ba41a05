#!/usr/bin/env bash
# Checks the C and C++ sources against the checked-in .clang-format without changing them.
#   scripts/format-check.sh            every tracked source file
#   scripts/format-check.sh BASE       the files changed since BASE (a commit, branch or tag)
# Exits 1 when a file needs formatting; the lines in question are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter="${CLANG_FORMAT:-clang-format-14}"
if ! command -v "$formatter" >/dev/null; then
    echo "format-check: $formatter not found (scripts/install-deps.sh installs it)" >&2
    exit 2
fi
pattern='\.(c|cc|cpp|cxx|h|hh|hpp)$'
if [ $# -gt 0 ]; then
    base="$(git merge-base "$1" HEAD)"
    mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$base" -- | grep -E "$pattern" || true)
else
    mapfile -t files < <(git ls-files | grep -E "$pattern" || true)
fi
# Folders of code that is not ours keep their own style.
kept=()
for file in "${files[@]}"; do
    case "$file" in tools/validator/*) continue ;; esac
    [ -f "$file" ] && kept+=("$file")
done
if [ ${#kept[@]} -eq 0 ]; then
    echo "format-check: no source files to check"
    exit 0
fi
if "$formatter" --dry-run -Werror "${kept[@]}"; then
    echo "format-check: ${#kept[@]} files formatted as .clang-format asks"
else
    echo "format-check: run $formatter -i on the files above" >&2
    exit 1
fi
