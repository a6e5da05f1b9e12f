#!/bin/sh
# Installs the Debian 12 packages that the build needs; with --test, also what the tests need.
# Run as root. Packages already installed are left as they are.
set -e
export DEBIAN_FRONTEND=noninteractive
packages="cmake make g++ pkg-config qt6-base-dev libgl-dev libx11-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev nlohmann-json3-dev"
if [ "${1:-}" = "--test" ]; then
    # desktop-file and AppStream validators; the .deb and its dependencies; clang for the
    # fuzzers and clang-format for the sources' format; git, which lists the sources;
    # MinGW-w64 and Wine for the Windows build, and Xvfb for its windows under Wine;
    # every locale, for runetally-table's decimal separator under LC_ALL, LC_NUMERIC and LANG;
    # Emscripten and fast_float for the web page, Node and npm to fetch the pinned playwright-core,
    # and Chromium to open the page headless. A machine whose Node came from elsewhere has its own
    # npm, which Debian's npm package would conflict with.
    packages="$packages desktop-file-utils appstream dpkg-dev file clang clang-format git libclang-rt-14-dev
              g++-mingw-w64-x86-64-posix wine64 xvfb xauth locales-all
              emscripten libfast-float-dev chromium"
    command -v node >/dev/null 2>&1 || packages="$packages nodejs"
    command -v npm >/dev/null 2>&1 || packages="$packages npm"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
