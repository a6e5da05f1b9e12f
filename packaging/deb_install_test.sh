#!/bin/sh
# Builds the .deb from the build tree $1, installs it with apt, runs runetally-table from PATH,
# and removes the package again. Needs root and apt; skips (77) without them.
set -eu
build=$1
version=$2
[ "$(id -u)" = 0 ] && command -v apt-get >/dev/null || exit 77
if dpkg-query -W -f='${Status}' runetally 2>/dev/null | grep -q "ok installed"; then
    echo "runetally is already installed here; not touching it"
    exit 77
fi
out=$(mktemp -d)
trap 'apt-get remove -y -qq runetally >/dev/null 2>&1 || true; rm -rf "$out"' EXIT
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb="$out/runetally_${version}_amd64.deb"
test -f "$deb" || { echo "no $deb"; ls "$out"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q libqt6widgets6 || { echo "Depends misses Qt Widgets"; exit 1; }
[ "$(dpkg-deb -f "$deb" Recommends)" = hardinfo ] || { echo "Recommends is not hardinfo"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/runetally ./usr/bin/runetally-table \
         ./usr/share/applications/org.example.Runetally.desktop \
         ./usr/share/metainfo/org.example.Runetally.metainfo.xml \
         ./usr/share/mime/packages/org.example.Runetally.xml; do
    echo "$contents" | grep -q " $f\$" || { echo "missing $f"; exit 1; }
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
for bin in /usr/bin/runetally /usr/bin/runetally-table; do
    if readelf -d "$bin" | grep -E 'RPATH|RUNPATH'; then
        echo "$bin carries a run path"
        exit 1
    fi
done
[ "$(command -v runetally-table)" = /usr/bin/runetally-table ]
printed=$(runetally-table --version)
echo "$printed"
[ "$printed" = "runetally-table $version" ]
echo "installed size: $(dpkg-query -W -f='${Installed-Size}' runetally) KiB"
