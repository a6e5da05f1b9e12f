#!/bin/sh
# Builds a MIME database from the character type $1 alone, as update-mime-database does for the
# desktop once the package is installed, and checks that it tells character files by their name.
# Skips (77) without the tool.
set -eu
command -v update-mime-database >/dev/null || exit 77
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
db=$data/mime
mkdir -p "$db/packages"
cp "$1" "$db/packages/"
# The tool warns about a bad file and goes on, so any word from it is a failure. It also warns
# about a database the desktop would not search: this one is the user's own for the run.
warned=$(XDG_DATA_HOME=$data update-mime-database "$db" 2>&1)
[ -z "$warned" ] || { echo "$warned"; exit 1; }
grep -qx '50:application/x-runetally-character:\*\.rtchar' "$db/globs2" ||
    { echo "no glob for *.rtchar:"; cat "$db/globs2"; exit 1; }
grep -qx 'application/x-runetally-character application/json' "$db/subclasses" ||
    { echo "not a kind of JSON:"; cat "$db/subclasses"; exit 1; }
