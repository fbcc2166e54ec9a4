#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/spdx.sh on a small tree of every file kind: --check names the files without a licence
# line and fails; adding puts the right comment form first (after a "#!" line), keeps the rest of
# each file and its mode, leaves other files and build folders alone, and a second run changes
# nothing.
set -euo pipefail
script=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$tree/src" "$tree/.ci" "$tree/build-x" "$tree/assets"
printf '#pragma once\nint f();\n' >"$tree/src/a.h"
printf '#include "a.h"\nint f() { return 1; }\n' >"$tree/src/a.cpp"
printf '#define V "@X@"\n' >"$tree/src/v.h.in"
printf 'add_library(a a.cpp)\n' >"$tree/src/CMakeLists.txt"
printf '#!/usr/bin/env bash\necho hi\n' >"$tree/run.sh"
chmod 755 "$tree/run.sh"
printf '#!/usr/bin/env python3\nprint(1)\n' >"$tree/tool.py"
printf '#!/usr/bin/env bash\nbash run.sh\n' >"$tree/.ci/run"
printf '// SPDX-License-Identifier: MIT\nint g();\n' >"$tree/src/kept.h"
printf 'not a source\n' >"$tree/assets/notes.txt"
printf 'int built();\n' >"$tree/build-x/generated.h"

if out=$(bash "$script" --check "$tree"); then fail "--check passed on files without the line"; fi
for f in src/a.h src/a.cpp src/v.h.in src/CMakeLists.txt run.sh tool.py .ci/run; do
    grep -qx "no licence line: $f" <<<"$out" || fail "--check did not name $f: $out"
done
grep -q "kept.h\|notes.txt\|generated.h" <<<"$out" && fail "--check named a file it should not: $out"

bash "$script" "$tree"
expect_head() {  # FILE LINES...: the file starts with exactly these lines
    local file=$1
    shift
    local want
    want=$(printf '%s\n' "$@")
    [ "$(head -n $# "$tree/$file")" = "$want" ] || fail "$file starts with: $(head -n $# "$tree/$file")"
}
expect_head src/a.h '// SPDX-License-Identifier: GPL-3.0-or-later' '#pragma once' 'int f();'
expect_head src/a.cpp '// SPDX-License-Identifier: GPL-3.0-or-later' '#include "a.h"'
expect_head src/v.h.in '// SPDX-License-Identifier: GPL-3.0-or-later' '#define V "@X@"'
expect_head src/CMakeLists.txt '# SPDX-License-Identifier: GPL-3.0-or-later' 'add_library(a a.cpp)'
expect_head run.sh '#!/usr/bin/env bash' '# SPDX-License-Identifier: GPL-3.0-or-later' 'echo hi'
expect_head tool.py '#!/usr/bin/env python3' '# SPDX-License-Identifier: GPL-3.0-or-later' 'print(1)'
expect_head .ci/run '#!/usr/bin/env bash' '# SPDX-License-Identifier: GPL-3.0-or-later' 'bash run.sh'
expect_head src/kept.h '// SPDX-License-Identifier: MIT' 'int g();'
expect_head assets/notes.txt 'not a source'
expect_head build-x/generated.h 'int built();'
[ -x "$tree/run.sh" ] || fail "run.sh lost its mode"
[ "$(bash "$tree/run.sh")" = hi ] || fail "run.sh no longer runs"
ls "$tree/src" | grep -q spdx && fail "a temporary file was left behind"

before=$(cd "$tree" && find . -type f -exec md5sum {} + | sort)
bash "$script" "$tree"
after=$(cd "$tree" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || fail "a second run changed files"
bash "$script" --check "$tree" >/dev/null || fail "--check failed after adding"
echo "spdx script: all cases pass"
