#!/bin/sh
# Installs what is needed, builds everything and runs every test headless.
set -e
cd "$(dirname "$0")/.."
sh tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
