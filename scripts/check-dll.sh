#!/usr/bin/env bash
# Checks a built Vestrano.dll before it goes anywhere near Excel: exactly the four COM server
# exports, undecorated; imports from Windows system DLLs only (no mingw runtime DLL, which Excel
# would not find); and the version record inside.
# Usage: scripts/check-dll.sh DLL OBJDUMP   (OBJDUMP: i686-w64-mingw32-objdump or the x86_64 one)
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 DLL OBJDUMP" >&2
  exit 2
fi
dll=$1
objdump=$2
[[ -f $dll ]] || { echo "check-dll: $dll: no such file" >&2; exit 1; }
command -v "$objdump" >/dev/null || { echo "check-dll: $objdump: not found" >&2; exit 1; }

failures=0
fail() {
  echo "check-dll: $dll: $*" >&2
  failures=$((failures + 1))
}

headers=$("$objdump" -p "$dll")

# The name table of the export directory, one "[   0] DllCanUnloadNow" line per exported name.
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
               in_table && /^[[:space:]]*\[/ { print $NF; next }
               in_table { exit }' <<<"$headers" | sort)
expected=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if [[ $exports != "$expected" ]]; then
  fail "exports are not exactly the four COM server entry points; found: ${exports//$'\n'/ }"
fi

# Windows system DLLs that the add-in may import. Anything else, the mingw runtimes above all,
# would have to be shipped beside the DLL.
allowed_import() {
  case ${1,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | ole32.dll | oleaut32.dll | oleacc.dll | \
      shell32.dll | msvcrt.dll | api-ms-win-crt-*.dll) return 0 ;;
    *) return 1 ;;
  esac
}
imports=$(awk '/^[[:space:]]*DLL Name:/ { print $3 }' <<<"$headers")
if [[ -z $imports ]]; then
  fail "no import table found"
fi
for name in $imports; do
  allowed_import "$name" || fail "imports $name, which is not a Windows system DLL"
done

# The target's own strings when it is there (it comes with the objdump), the host's otherwise.
strings_tool=${objdump%objdump}strings
command -v "$strings_tool" >/dev/null || strings_tool="strings"
if ! "$strings_tool" -el "$dll" | grep -qx 'Vestrano v3.01'; then
  fail "the version record with the product name \"Vestrano v3.01\" is missing"
fi

if ((failures > 0)); then
  exit 1
fi
echo "check-dll: $dll: OK (exports: ${exports//$'\n'/ }; imports: ${imports//$'\n'/ })"
