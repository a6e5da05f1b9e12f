#!/bin/sh
# Installs playwright-core, at the version that package-lock.json pins, into the build folder once;
# it drives the system's Chromium, so no browser is downloaded.
# Usage: playwright.sh SOURCE_FOLDER INSTALL_FOLDER
set -e
src=$1 dest=$2
version() { sed -n 's/^ *"version": "\([^"]*\)".*/\1/p' "$1" 2>/dev/null | head -n 1; }
want=$(sed -n 's/.*"playwright-core": "\([^"]*\)".*/\1/p' "$src/package.json")
if [ "$(version "$dest/node_modules/playwright-core/package.json")" = "$want" ]; then
    echo "playwright-core $want is installed in $dest"
    exit 0
fi
mkdir -p "$dest"
cp "$src/package.json" "$src/package-lock.json" "$dest/"
cd "$dest"
npm ci --ignore-scripts --no-audit --no-fund
