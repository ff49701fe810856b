#!/usr/bin/env bash
# Runs Vestrano.dll under Wine, headless: builds both DLLs and the Wine test program
# (scripts/build-windows.sh), prepares a Wine prefix of its own under build/, and runs
# vestrano_wine_test.exe inside Xvfb. The test registers the DLL with regsvr32, creates it from
# its ProgID, connects it to a small Excel of its own, disconnects, unloads and unregisters it,
# printing one line per check and "N passed, M failed". Then, at 96, 120 and 144 DPI, where the
# tab strip ends against the bar.
#
# The 64-bit DLL always runs. The 32-bit DLL is built and checked statically by the build, and
# runs only where this machine can execute 32-bit programs (Wine's 32-bit loader is a 32-bit
# Linux program, which some kernels cannot start).
#
# Usage: scripts/test-wine.sh [--no-build]
# Environment: VESTRANO_WINE_TIMEOUT (seconds per run, default 180).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
run_timeout=${VESTRANO_WINE_TIMEOUT:-180}

if [[ ${1:-} != --no-build ]]; then
  bash scripts/build-windows.sh
fi

# Wine's loaders: /usr/bin/wine prefers the 32-bit one whenever it is installed, even where it
# cannot run, so the test names the loader it needs.
wine64=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
  if [[ -n $candidate && -x $candidate ]] && "$candidate" --version >/dev/null 2>&1; then
    wine64=$candidate
    break
  fi
done
if [[ -z $wine64 ]]; then
  echo "test-wine: no runnable 64-bit Wine loader found (install wine64)" >&2
  exit 1
fi
wine32=""
for candidate in /usr/lib/wine/wine "$(command -v wine32 || true)"; do
  if [[ -n $candidate && -x $candidate ]] && "$candidate" --version >/dev/null 2>&1; then
    wine32=$candidate
    break
  fi
done

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Programs that the test starts (regsvr32) must get a loader that runs, as Debian's wine wrapper
# arranges when only the 64-bit half is usable.
if [[ -z $wine32 ]]; then
  export WINELOADER=$wine64
fi
# The prefix's own server, and only it, is stopped when the script ends.
stop_server() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_server EXIT

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "== test-wine: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout "$run_timeout" "$wine64" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Without a window manager under Xvfb, each top-level window would take seconds to destroy.
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  wineserver -w
fi
[[ -f $WINEPREFIX/system.reg ]] || { echo "test-wine: Wine prefix creation failed" >&2; exit 1; }
# Screen readers in another process reach the tab strip's IAccessible through oleacc's proxy,
# which Windows registers when it installs and Wine's prefix does not.
"$wine64" regsvr32 /s oleacc.dll >/dev/null 2>&1 || true
if [[ -n $wine32 ]]; then "$wine32" regsvr32 /s oleacc.dll >/dev/null 2>&1 || true; fi
wineserver -w

# Wine's default prefix maps the Unix root to drive Z:. (winepath would start Wine outside the
# X server, and the desktop process it leaves behind would keep later windows from appearing.)
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Runs the test program of one architecture against its DLL in a fresh X server, stopping the
# prefix's Wine server inside the same session; returns the program's exit code. The inner
# script's variables are its own, hence the single quotes.
run_test() {
  local loader=$1 dir=$2
  echo "== test-wine: $dir/Vestrano.dll"
  stop_server
  # shellcheck disable=SC2016
  timeout "$run_timeout" xvfb-run -a -s "-screen 0 1280x800x24" \
    bash -c '"$0" "$1" "$2" 2>/dev/null; code=$?; wineserver -k; exit $code' \
    "$loader" "$root/$dir/vestrano_wine_test.exe" "$(windows_path "$root/$dir/Vestrano.dll")" |
    tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# The prefix's screen resolution, which Wine reads when a program starts.
set_dpi() {
  local dpi=$1
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  "$wine64" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wineserver -w
}

# Where the tab strip ends against the bar at 100%, 125% and 150% scaling.
run_dpi_tests() {
  local loader=$1 dir=$2 dpi code=0
  for dpi in 96 120 144; do
    echo "== test-wine: $dir at $dpi DPI"
    stop_server
    set_dpi "$dpi"
    stop_server
    # shellcheck disable=SC2016
    timeout "$run_timeout" xvfb-run -a -s "-screen 0 1280x800x24" \
      bash -c '"$0" "$1" "$2" --right-edge 2>/dev/null; code=$?; wineserver -k; exit $code' \
      "$loader" "$root/$dir/vestrano_wine_test.exe" "$(windows_path "$root/$dir/Vestrano.dll")" |
      tr -d '\r' | grep -v '^pass  the add-in and' || code=1
    [[ ${PIPESTATUS[0]} -eq 0 ]] || code=1
  done
  stop_server
  set_dpi 96
  return $code
}

status=0
set_dpi 96
run_test "$wine64" build/win64 || status=1
run_dpi_tests "$wine64" build/win64 || status=1
if [[ -n $wine32 ]]; then
  run_test "$wine32" build/win32 || status=1
  run_dpi_tests "$wine32" build/win32 || status=1
else
  echo "== test-wine: build/win32/Vestrano.dll was built and checked statically but not run:" \
    "this machine cannot execute 32-bit programs"
fi

if ((status == 0)); then
  echo "== test-wine: passed"
else
  echo "== test-wine: FAILED" >&2
fi
exit $status
