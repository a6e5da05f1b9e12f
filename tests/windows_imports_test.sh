#!/bin/sh
# Each Windows program runs on a bare system: it imports no DLL beyond those every Windows ships
# (no MinGW runtime, no libstdc++). Usage: windows_imports_test.sh OBJDUMP PROGRAM...
objdump=$1
shift
allowed=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll shell32.dll
          ole32.dll oleaut32.dll oleacc.dll "
# The window program loads what only some players or some windows need when first used: the
# accessibility of its chart, the file dialogs, the shell.
later=" oleacc.dll oleaut32.dll comdlg32.dll shell32.dll "
failed=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
    if [ -z "$dlls" ]; then
        echo "FAIL $program: no imports read"
        failed=1
    fi
    for dll in $dlls; do
        case "$allowed" in
        *" $(printf %s "$dll" | tr '[:upper:]' '[:lower:]')"[[:space:]]*) ;;
        *) echo "FAIL $(basename "$program") imports $dll"; failed=1 ;;
        esac
        case "$(basename "$program")/$later" in
        runetally.exe/*" $(printf %s "$dll" | tr '[:upper:]' '[:lower:]')"[[:space:]]*)
            echo "FAIL runetally.exe imports $dll at start"
            failed=1
            ;;
        esac
    done
    echo "$(basename "$program"):" $dlls
done
exit $failed
