#!/usr/bin/env bash
# The tour: the real add-in in xlsim, a simulated Excel under Wine, on a fresh Debian 12 machine.
# Installs what is missing, builds Vestrano.dll, its tab strip module and xlsim, prepares a Wine
# prefix, registers the DLL as a user's regsvr32 would, plays tests/scenarios/tour.vsc (workbooks
# opened, one changed, another tab clicked, the bar moved below, the workbook menu opened) and
# writes a screenshot of where it ends. Says what it does as it goes.
#
# Usage: scripts/tour.sh [--arch 32|64] [PICTURE.png]   (default build/tour.png)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xlsim-env.sh"
cd "$xlsim_root"

arch="" picture=build/tour.png
while (($#)); do
  case $1 in
    --arch) arch=${2:-}; shift 2 ;;
    *) picture=$1; shift ;;
  esac
done

say() { echo "== tour: $*"; }
say "installing the packages that are missing (mingw-w64, Wine, Xvfb, ImageMagick)"
bash scripts/install-deps.sh
if [[ ! -f build/win32/xlsim.exe || ! -f build/win64/xlsim.exe ]]; then
  say "building Vestrano.dll, Zandrelix.ocx and xlsim.exe for 32-bit and 64-bit Windows"
  bash scripts/build-windows.sh >/dev/null
fi
say "preparing Wine and registering the add-in"
xlsim_setup "$arch"
trap xlsim_stop_server EXIT
say "playing tests/scenarios/tour.vsc in the ${xlsim_arch}-bit xlsim; what the add-in shows:"
sed -e '/^#/d' -e '/^$/d' -e '/^expect /d' -e 's/^/  > /' tests/scenarios/tour.vsc
bash scripts/xlsim.sh --arch "$xlsim_arch" --screenshot "$picture" tests/scenarios/tour.vsc 2>/dev/null |
  sed 's/^/  /'
[[ ${PIPESTATUS[0]} -eq 0 ]] || { echo "tour: the scenario did not play as expected" >&2; exit 1; }
say "the screenshot of the last state is $(realpath "$picture")"
