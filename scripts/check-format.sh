#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what .clang-format makes of it, and names
# the files. `scripts/check-format.sh --fix` rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
unformatted=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted as .clang-format says (scripts/check-format.sh --fix rewrites them):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
