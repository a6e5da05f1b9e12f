#!/bin/sh
# Builds the Windows ZIP and checks that it holds exactly the two programs, stripped and each with
# its version resource, the README and the licence in one folder.
# Usage: windows_zip_test.sh BUILD_DIR PACKAGE_NAME OBJDUMP VERSION
set -e
cd "$1"
rm -f "$2.zip"
cpack -G ZIP >/dev/null
listing=$(cmake -E tar tf "$2.zip" | sort | tr '\n' ' ')
expected="$2/LICENSE $2/README.md $2/runetally-table.exe $2/runetally.exe "
if [ "$listing" != "$expected" ]; then
    echo "FAIL: the ZIP holds: $listing"
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cmake -E tar xf "$1/$2.zip")
for program in runetally runetally-table; do
    if "$3" -h "$scratch/$2/$program.exe" | grep -q '\.debug_info'; then
        echo "FAIL: $program.exe still holds its debugging information"
        exit 1
    fi
    # The version resource's texts are UTF-16: what Explorer shows under Details.
    texts=$(strings -el "$scratch/$2/$program.exe")
    for expected in "$program.exe" "$4.0"; do
        if ! printf '%s\n' "$texts" | grep -qxF "$expected"; then
            echo "FAIL: $program.exe has no version resource naming '$expected'"
            exit 1
        fi
    done
done
echo "$2.zip:" $listing
