#!/bin/sh
# The WebAssembly build's calculation against the native build's on the same seeded random
# cases: the same lines, byte for byte.
# Usage: samenumbers.sh NATIVE_PROGRAM NODE WASM_PROGRAM.js COUNT
set -e
native=$1 node=$2 wasm=$3 count=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$native" "$count" 17 >"$out/native"
# Node quotes the whole one-line script with an uncaught error: only the short lines are shown.
if ! "$node" "$wasm" "$count" 17 >"$out/wasm" 2>"$out/errors"; then
    echo "the WebAssembly program failed after $(wc -l <"$out/wasm") lines:"
    awk 'length($0) < 300' "$out/errors"
    exit 1
fi
lines=$(wc -l <"$out/native")
if [ "$lines" -ne "$count" ]; then
    echo "the native program printed $lines lines, not $count"
    exit 1
fi
if ! cmp -s "$out/native" "$out/wasm"; then
    echo "the WebAssembly build's numbers differ from the native build's:"
    diff "$out/native" "$out/wasm" | head -20
    exit 1
fi
echo "$count cases, the same in both builds"
