#!/bin/sh
# Installs every Debian 12 package that the build and the tests need. Run as root.
set -e
export DEBIAN_FRONTEND=noninteractive
packages="cmake make g++ pkg-config qt6-base-dev libgl-dev libx11-dev desktop-file-utils appstream dpkg-dev file libgtest-dev libgmock-dev libbenchmark-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
fi
