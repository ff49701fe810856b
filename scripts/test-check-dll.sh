#!/usr/bin/env bash
# Tests scripts/check-dll.sh's Windows XP gate on the DLLs just built: through an objdump that adds
# one import to the real import table, the 32-bit DLL and module must be refused for each kind of
# post-XP import (a listed kernel32, advapi32 or comctl32 function, an msvcrt "_s" function), and
# the 64-bit DLL, which may need Vista, must still pass; a process-wide DPI call is refused in
# both bitnesses. A misread import table would open the gate silently.
# Usage: scripts/test-check-dll.sh   (after scripts/build-windows.sh)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Writes an objdump for TRIPLE that lists FUNCTION among DLL's imports (DLL as objdump spells it).
fake_objdump() {
  local triple=$1 dll=$2 function=$3
  local fake="$work/$triple-objdump"
  cat >"$fake" <<SCRIPT
#!/usr/bin/env bash
"$triple-objdump" "\$@" | awk -v dll="$dll" -v name="$function" '
  { print }
  \$0 ~ "^[[:space:]]*DLL Name: " dll "\$" { wanted = 1; next }
  wanted && /^[[:space:]]*vma:/ { printf "\\t%x\\t %5d  %s\\n", 999999, 999, name; wanted = 0 }'
SCRIPT
  chmod +x "$fake"
  echo "$fake"
}

# expect refused|passes DLL TRIPLE IMPORT-DLL FUNCTION
expect() {
  local want=$1 file=$2 triple=$3 dll=$4 function=$5 output
  if output=$(bash scripts/check-dll.sh "$file" "$(fake_objdump "$triple" "$dll" "$function")" 2>&1); then
    got=passes
  else
    got=refused
  fi
  if [[ $got == refused ]] && ! grep -q "imports $function from" <<<"$output"; then
    got="refused for another reason: $output"
  fi
  if [[ $got == "$want" ]]; then
    echo "test-check-dll: pass  $file with $function from $dll: $want"
  else
    echo "test-check-dll: FAIL  $file with $function from $dll: expected $want, got $got" >&2
    failures=$((failures + 1))
  fi
}

expect refused build/win32/Vestrano.dll i686-w64-mingw32 KERNEL32.dll GetTickCount64
expect refused build/win32/Vestrano.dll i686-w64-mingw32 ADVAPI32.dll RegGetValueW
expect refused build/win32/Vestrano.dll i686-w64-mingw32 msvcrt.dll strcpy_s
expect passes build/win32/Vestrano.dll i686-w64-mingw32 KERNEL32.dll GetTickCount
expect passes build/win64/Vestrano.dll x86_64-w64-mingw32 KERNEL32.dll GetTickCount64
expect refused build/win32/Zandrelix.ocx i686-w64-mingw32 COMCTL32.DLL TaskDialogIndirect
expect passes build/win32/Zandrelix.ocx i686-w64-mingw32 COMCTL32.DLL ImageList_Create
# Neither file may change Excel's DPI awareness, whatever its bitness.
expect refused build/win64/Vestrano.dll x86_64-w64-mingw32 USER32.dll SetProcessDPIAware
expect refused build/win64/Zandrelix.ocx x86_64-w64-mingw32 USER32.dll SetProcessDpiAwarenessContext

((failures == 0)) || exit 1
echo "test-check-dll: the Windows XP gate holds"
