#!/usr/bin/env bash
# Fails on a source file that clang-format 14 (the project's pinned version,
# Debian's clang-format-14) would change. With --fix, formats them instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
format="${CLANG_FORMAT:-clang-format-14}"
cd "$root"
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' | grep -v '^build' | grep -v '_table.inc$')
else
    mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print | sed 's|^\./||' | grep -v '_table.inc$' | sort)
fi
if [ "${1:-}" = "--fix" ]; then
    "$format" -i "${files[@]}"
    exit 0
fi
bad=()
for file in "${files[@]}"; do
    if ! "$format" --dry-run -Werror "$file" > /dev/null 2>&1; then
        bad+=("$file")
    fi
done
if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted with %s (run scripts/check-format.sh --fix):\n' "$format"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "${#files[@]} files formatted"
