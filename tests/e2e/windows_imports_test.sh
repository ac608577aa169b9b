#!/usr/bin/env bash
# The Windows program is a GUI program that runs from its folder on any Windows: it
# imports only DLLs that every Windows has (libpng, zlib and the C++ run-time are
# linked in). Usage: windows_imports_test.sh <corvane.exe>
set -uo pipefail

objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "FAIL: $objdump is not installed"; exit 1; }
headers="$("$objdump" -p "$1")" || { echo "FAIL: $1 is not a PE file"; exit 1; }

failures=0
system_dlls=" kernel32.dll user32.dll gdi32.dll d3d9.dll winmm.dll msvcrt.dll "
imports="$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers")"
[[ -n "$imports" ]] || { echo "FAIL: no imports found"; failures=$((failures + 1)); }
for dll in $imports; do
  if [[ "$system_dlls" != *" $dll "* ]]; then
    echo "FAIL: imports $dll, not one of the system DLLs it may use"
    failures=$((failures + 1))
  fi
done
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "FAIL: not a GUI program"; failures=$((failures + 1)); }

((failures == 0)) || exit 1
echo "PASS: imports $(tr '\n' ' ' <<<"$imports")"
