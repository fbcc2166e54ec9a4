#!/usr/bin/env bash
# Gives every source file a licence line, in the comment form of its kind:
#   // SPDX-License-Identifier: GPL-3.0-or-later     C++ sources and headers (.cpp .h .c .h.in)
#   # SPDX-License-Identifier: GPL-3.0-or-later      CMake, shell and Python files, .ci/run
# The line goes first, or second after a "#!" line; a file that has one is left alone.
#   bash scripts/spdx.sh [DIR]            adds the line where it is missing (DIR: the repository)
#   bash scripts/spdx.sh --check [DIR]    names every file without one; exit 1 if there is any
set -euo pipefail

check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
root=${1:-"$(dirname "$0")/.."}
cd "$root"

identifier="SPDX-License-Identifier: GPL-3.0-or-later"

# The comment that starts a line in FILE's kind; nothing for a file that is not a source.
comment_for() {
    case "$1" in
    *.cpp | *.h | *.c | *.h.in) echo "//" ;;
    *CMakeLists.txt | *.cmake | *.sh | *.py | ./.ci/run) echo "#" ;;
    esac
}

missing=0
while IFS= read -r -d '' file; do
    comment=$(comment_for "$file")
    [ -n "$comment" ] || continue
    head -n 3 "$file" | grep -q "SPDX-License-Identifier:" && continue
    if [ "$check" -eq 1 ]; then
        echo "no licence line: ${file#./}"
        missing=1
        continue
    fi
    line="$comment $identifier"
    temporary=$(mktemp "$file.spdx.XXXXXX")
    if head -n 1 "$file" | grep -q '^#!'; then
        { head -n 1 "$file"; echo "$line"; tail -n +2 "$file"; } >"$temporary"
    else
        { echo "$line"; cat "$file"; } >"$temporary"
    fi
    chmod --reference="$file" "$temporary"
    mv "$temporary" "$file"
done < <(find . -type d \( -name .git -o -name 'build*' \) -prune -o -type f -print0 | sort -z)

if [ "$check" -eq 1 ] && [ "$missing" -eq 1 ]; then
    echo "Run: bash scripts/spdx.sh" >&2
    exit 1
fi
exit 0
