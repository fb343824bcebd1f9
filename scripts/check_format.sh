#!/usr/bin/env bash
# Checks that every C++ file of src, tests and bench is laid out as .clang-format says, and lists
# the files that are not (fix them with `clang-format-14 -i FILE...`). Exits non-zero then.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=${ZOVRENA_CLANG_FORMAT:-clang-format-14}
if ! command -v "$formatter" >/dev/null; then
    echo "format: manca il programma $formatter" >&2
    exit 1
fi

unformatted=()
while IFS= read -r -d '' file; do
    if ! "$formatter" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done < <(find src tests bench -name node_modules -prune -o -type f \
    \( -name '*.cpp' -o -name '*.cc' -o -name '*.h' -o -name '*.hpp' \) -print0 | sort -z)

if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format: file non formattati secondo .clang-format (clang-format-14 -i FILE):" >&2
    printf '    %s\n' "${unformatted[@]}" >&2
    exit 1
fi
