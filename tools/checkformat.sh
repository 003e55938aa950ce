#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted as .clang-format says; build folders (any
# folder holding a CMakeCache.txt) are not ours and are skipped. Prints each file that differs
# and exits 1. The formatting is clang-format 14's, as Debian 12 ships it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "clang-format not found (Debian: apt-get install clang-format)" >&2
    exit 2
fi
version=$("$format" --version)
[[ $version =~ version\ 14\. ]] || echo "note: $version, not 14: the formatting may differ" >&2

prune=(-path ./.git)
while IFS= read -r cache; do
    prune+=(-o -path "$(dirname "$cache")")
done < <(find . -name CMakeCache.txt -not -path './.git/*')

mapfile -d '' files < <(find . \( "${prune[@]}" \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0 \
    | LC_ALL=C sort -z)
if ! "$format" --dry-run --Werror "${files[@]}" 2>/dev/null; then
    # Name each file once, with the command that fixes it.
    for f in "${files[@]}"; do
        "$format" --dry-run --Werror "$f" >/dev/null 2>&1 || echo "${f#./}: not formatted (clang-format -i ${f#./})"
    done
    exit 1
fi
echo "formatting: ${#files[@]} files checked"
