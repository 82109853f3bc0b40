#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the settings fuzzer (its CMake target, with clang: libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time from the committed seed corpus;
# fails on any finding.
# Usage: run.sh BUILD_DIR SECONDS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
mkdir -p "$1"
build=$(cd "$1" && pwd)
seconds=$2
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKELVO_FUZZ=ON -DBUILD_TESTING=OFF \
    -DKELVO_WERROR=ON >/dev/null
cmake --build "$build" --target fuzz_settings
# New inputs go to a scratch corpus; the committed seeds stay as they are.
corpus="$build/corpus"
mkdir -p "$corpus"
cp -n "$here"/corpus/* "$corpus/" 2>/dev/null || true
cd "$build"
./fuzz_settings -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    "$corpus" 2>fuzz.log || { tail -n 40 fuzz.log; echo "The fuzzer found a fault: $build/fuzz.log"; exit 1; }
grep -E '^stat::number_of_executed_units|^Done' fuzz.log || tail -n 3 fuzz.log
