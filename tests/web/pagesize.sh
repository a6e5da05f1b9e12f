#!/bin/sh
# runetally.html stays within what one download of the whole program may weigh: 400 KiB, and
# 160 KiB once compressed with gzip as a web server sends it.
# Usage: pagesize.sh runetally.html
set -e
bytes=$(wc -c <"$1")
gzipped=$(gzip -9 -c "$1" | wc -c)
echo "runetally.html: $bytes bytes, $gzipped with gzip -9"
[ "$bytes" -le $((400 * 1024)) ] || { echo "more than 400 KiB"; exit 1; }
[ "$gzipped" -le $((160 * 1024)) ] || { echo "more than 160 KiB with gzip"; exit 1; }
