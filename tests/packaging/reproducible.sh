#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the package twice as the README says (scripts/setup, then cpack in build/), from two
# copies of the tree in folders of different names and depths, a second apart: the two .deb
# files must be the same, byte for byte.
# Usage: reproducible.sh
set -euo pipefail
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL (reproducible package): $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
debs=()
for copy in "$work/first" "$work/a/second/copy"; do
    mkdir -p "$copy"
    # The files of the project (committed or about to be), not its build folders.
    (cd "$source_tree" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 cp --parents -t "$copy")
    (cd "$copy" && scripts/setup >"$work/build.log" 2>&1 && cd build &&
        cpack -G DEB >>"$work/build.log" 2>&1) || {
        tail -n 30 "$work/build.log" >&2
        fail "the package could not be made in $copy"
    }
    debs+=("$(ls "$copy"/build/kelvo-snake_*.deb)")
    sleep 1
done
cmp "${debs[0]}" "${debs[1]}" || {
    diffoscope --version >/dev/null 2>&1 && diffoscope "${debs[@]}" | head -n 40 >&2
    fail "two builds of the same tree gave different packages"
}
echo "PASS (reproducible package): $(sha256sum <"${debs[0]}" | cut -c1-16)…, twice"
