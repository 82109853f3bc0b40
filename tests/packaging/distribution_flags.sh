#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the game as a distribution with its own hardening does (Arch's flags: _FORTIFY_SOURCE=3
# through -Wp, CMAKE_BUILD_TYPE=None), warnings as errors: the project's own hardening must
# neither redefine nor lower the level the flags give, so the program is built at level 3.
# Usage: distribution_flags.sh
set -euo pipefail
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL (distribution flags): $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
flags="-O2 -pipe -fno-plt -fexceptions -Wp,-D_FORTIFY_SOURCE=3 -Wformat -Werror=format-security \
-fstack-clash-protection -fcf-protection"
CXXFLAGS=$flags CFLAGS=$flags LDFLAGS="-Wl,-O1,--sort-common,--as-needed,-z,relro,-z,now" \
    cmake -S "$source_tree" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DKELVO_WERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$work/build.log" 2>&1 &&
    cmake --build "$work/build" >>"$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log" >&2
    fail "the build failed"
}
# The level each source is compiled at: the compiler's own word, from its real command line.
levels=$(/usr/bin/python3 - "$work/build/compile_commands.json" <<'PY'
import json, shlex, subprocess, sys
levels = set()
for entry in json.load(open(sys.argv[1])):
    if not entry["file"].endswith(".cpp") or "/src/" not in entry["file"]:
        continue
    words = shlex.split(entry["command"])
    at = words.index("-o")
    words = words[:at] + words[at + 2:]
    words = [w for w in words if w not in ("-c", "-MD")] + ["-dM", "-E"]
    words = [w for i, w in enumerate(words) if not (words[i - 1] in ("-MT", "-MF") or w in ("-MT", "-MF"))]
    out = subprocess.run(words, cwd=entry["directory"], capture_output=True, text=True).stdout
    levels.update(line.split()[2] for line in out.splitlines()
                  if line.startswith("#define _FORTIFY_SOURCE "))
print(" ".join(sorted(levels)))
PY
)
[ "$levels" = 3 ] || fail "the sources are fortified at level(s) \"$levels\", not 3"
echo "PASS (distribution flags): every source at _FORTIFY_SOURCE=3, no warning"
