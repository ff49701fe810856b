#!/usr/bin/env bash
# Takes the README's pictures of the tab bar: the real 64-bit DLL and its tab strip, connected to
# the Wine test's small Excel under Xvfb, in each appearance above and below the workbooks, with
# an unsaved workbook and a Chinese name, and with more tabs than fit; and the options and about
# dialogs. Writes docs/*.png.
#
# The pictures are the same on every run: the Wine prefix is the script's own
# (build/screenshot-prefix), with Wine's fonts and WenQuanYi Micro Hei copied into its Fonts
# folder, Tahoma linked to WenQuanYi for Chinese, grayscale font smoothing and 96 DPI.
#
# Usage: scripts/screenshots.sh [--no-build]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [[ ${1:-} != --no-build ]]; then
  bash scripts/build-windows.sh
fi

wine64=/usr/lib/wine/wine64
export WINEPREFIX="$root/build/screenshot-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER=$wine64
stop_server() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_server EXIT

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "== screenshots: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 180 "$wine64" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/* /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/"
reg() { "$wine64" reg add "$@" /f >/dev/null; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
# Chinese text in Tahoma, and in the faces that window captions and dialogs fall back to.
for face in Tahoma 'Microsoft Sans Serif' 'MS Sans Serif' 'MS Shell Dlg'; do
  reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei'
done
# The dialogs' font, Microsoft YaHei, is Windows' own: WenQuanYi Micro Hei stands in for it.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'Microsoft YaHei' /t REG_SZ /d 'WenQuanYi Micro Hei'
# Window captions in bold WenQuanYi Micro Hei, which has the Chinese of the dialogs' titles
# (Wine's caption font links to no other font): a LOGFONTW, 12 pixels high, weight 700.
reg 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /t REG_BINARY /d \
  f4ffffff000000000000000000000000bc0200000000000100000000570065006e005100750061006e005900690020004d006900630072006f0020004800650069000000000000000000000000000000000000000000000000000000
reg 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2
reg 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 1
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96
wineserver -w
stop_server

mkdir -p docs
work=$(mktemp -d)
trap 'stop_server; rm -rf "$work"' EXIT
# The program prints where each picture is and waits; the picture is taken, and it goes on.
# shellcheck disable=SC2016
timeout 300 xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  loader=$0 program=$1 dll=$2 work=$3 docs=$4
  mkfifo "$work/in" "$work/out"
  "$loader" "$program" "$dll" --screenshots <"$work/in" >"$work/out" 2>/dev/null &
  exec 3>"$work/in" 4<"$work/out"
  while IFS=" " read -r -u 4 word name x y w h; do
    word=${word%$'\''\r'\''} h=${h%$'\''\r'\''}
    x=${x%$'\''\r'\''}
    [[ $word == done ]] && break
    if [[ $word == bitmap ]]; then
      # A window the program read back through its own device context (the dialogs).
      convert "$x" -strip -define png:exclude-chunks=date,time "png24:$docs/$name.png"
      rm -f "$x"
      echo "== screenshots: docs/$name.png"
      echo >&3
      continue
    fi
    [[ $word == shot ]] || continue
    xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage -strip \
      -define png:exclude-chunks=date,time "png24:$docs/$name.png"
    echo "== screenshots: docs/$name.png"
    echo >&3
  done
  exec 3>&-
  wait
  wineserver -k' \
  "$wine64" "$root/build/win64/vestrano_wine_test.exe" \
  "Z:${root//\//\\}\\build\\win64\\Vestrano.dll" "$work" "$root/docs"
echo "== screenshots: done"
