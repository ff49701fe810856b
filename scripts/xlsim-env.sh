# Shared by scripts/xlsim.sh and scripts/test-xlsim.sh (sourced, not run): picks the Windows
# architecture to play, builds what is missing, prepares xlsim's Wine prefix once, registers the
# add-in and its tab strip module there, and runs commands inside one X server.
#
# The prefix is build/xlsim-prefix: Managed=N (without a window manager each top-level window
# would take seconds to go), 96 DPI, Wine's fonts and WenQuanYi Micro Hei in its Fonts folder with
# Tahoma and MS Shell Dlg linked to it for Chinese, so that runs and pictures are the same every
# time; oleacc's proxy registered, through which AccessibleObjectFromWindow hands out IAccessible.
# Diagnostics go to standard error; standard output is left to the scenario.

xlsim_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
xlsim_prefix_version=2

xlsim_say() { echo "== $*" >&2; }

# Wine's loaders: /usr/bin/wine prefers the 32-bit one whenever it is installed, even where this
# machine cannot run it, so the scripts name the loader they need.
xlsim_find_loaders() {
  xlsim_wine64="" xlsim_wine32=""
  local candidate
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
    if [[ -n $candidate && -x $candidate ]] && "$candidate" --version >/dev/null 2>&1; then
      xlsim_wine64=$candidate
      break
    fi
  done
  for candidate in /usr/lib/wine/wine "$(command -v wine32 || true)"; do
    if [[ -n $candidate && -x $candidate ]] && "$candidate" --version >/dev/null 2>&1; then
      xlsim_wine32=$candidate
      break
    fi
  done
  [[ -n $xlsim_wine64 ]] || { echo "xlsim: no runnable 64-bit Wine loader (install wine64)" >&2; return 1; }
}

# Sets xlsim_arch (32 or 64), xlsim_loader and xlsim_dir: the 32-bit build wherever this machine
# runs 32-bit programs (Excel 2007 and most Excels are 32-bit), else the 64-bit one.
xlsim_pick_arch() {
  local wanted=${1:-}
  xlsim_find_loaders || return 1
  if [[ -z $wanted ]]; then
    if [[ -n $xlsim_wine32 ]]; then wanted=32; else wanted=64; fi
  fi
  case $wanted in
    32)
      [[ -n $xlsim_wine32 ]] || { echo "xlsim: this machine cannot run 32-bit Windows programs" >&2; return 1; }
      xlsim_loader=$xlsim_wine32 ;;
    64) xlsim_loader=$xlsim_wine64 ;;
    *) echo "xlsim: --arch takes 32 or 64, not $wanted" >&2; return 1 ;;
  esac
  xlsim_arch=$wanted
  xlsim_dir=$xlsim_root/build/win$wanted
  export WINEPREFIX=$xlsim_root/build/xlsim-prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Programs that Wine starts itself (regsvr32) must get a loader that runs.
  if [[ -z $xlsim_wine32 ]]; then export WINELOADER=$xlsim_wine64; fi
}

# Builds both architectures when the picked one lacks xlsim, the add-in or its module.
xlsim_build_missing() {
  local file
  for file in xlsim.exe Vestrano.dll Zandrelix.ocx; do
    if [[ ! -f $xlsim_dir/$file ]]; then
      xlsim_say "xlsim: building (build/win$xlsim_arch/$file is missing)"
      bash "$xlsim_root/scripts/build-windows.sh" >&2
      return
    fi
  done
}

xlsim_stop_server() { wineserver -k >/dev/null 2>&1 || true; }

# Wine's default prefix maps the Unix root to drive Z:. (winepath would start Wine outside the X
# server, and the desktop process it leaves behind would keep later windows from appearing.)
xlsim_windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

xlsim_prepare_prefix() {
  local stamp=$WINEPREFIX/.xlsim-prefix
  if [[ -f $stamp && $(cat "$stamp") == "$xlsim_prefix_version" ]]; then return; fi
  xlsim_say "xlsim: preparing the Wine prefix $WINEPREFIX (once)"
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    timeout 180 "$xlsim_wine64" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  [[ -f $WINEPREFIX/system.reg ]] || { echo "xlsim: Wine prefix creation failed" >&2; return 1; }
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  cp -f /usr/share/wine/fonts/* "$fonts/"
  cp -f /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$fonts/" 2>/dev/null || true
  local reg=("$xlsim_wine64" reg add)
  "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  # Tahoma for what the add-in draws, MS Shell Dlg for Excel's own captions and dialogs.
  local face
  for face in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    "${reg[@]}" 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null
  done
  "${reg[@]}" 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2 /f >/dev/null
  "${reg[@]}" 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 1 /f >/dev/null
  "${reg[@]}" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
  "$xlsim_wine64" regsvr32 /s oleacc.dll >/dev/null 2>&1 || true
  if [[ -n $xlsim_wine32 ]]; then "$xlsim_wine32" regsvr32 /s oleacc.dll >/dev/null 2>&1 || true; fi
  wineserver -w
  echo "$xlsim_prefix_version" >"$stamp"
}

# Registers the picked architecture's add-in and tab strip module, as a user's regsvr32 would,
# whenever they changed since the last registration. Wine's regsvr32 runs elevated, so the
# classes land in the machine's part of the registry too, where Wine 8 looks them up.
xlsim_register() {
  local stamp=$WINEPREFIX/.xlsim-registered-$xlsim_arch
  local built
  built=$(stat -c %Y "$xlsim_dir/Vestrano.dll" "$xlsim_dir/Zandrelix.ocx" | tr '\n' ' ')
  if [[ -f $stamp && $(cat "$stamp") == "$built" ]]; then return; fi
  xlsim_say "xlsim: registering build/win$xlsim_arch/Vestrano.dll and Zandrelix.ocx"
  # The tab strip module goes where the add-in installs it, the system directory of its bitness
  # (a 32-bit program's system32 is syswow64), and is registered from there. Wine 8 ignores the
  # per-user class that this registration writes; the add-in then loads the module from that
  # file, as it does on a first start before the registration has run.
  local system=system32
  [[ $xlsim_arch == 32 ]] && system=syswow64
  cp -f "$xlsim_dir/Zandrelix.ocx" "$WINEPREFIX/drive_c/windows/$system/Zandrelix.ocx"
  local file
  for file in 'C:\windows\system32\Zandrelix.ocx' "$(xlsim_windows_path "$xlsim_dir/Vestrano.dll")"; do
    if ! "$xlsim_loader" regsvr32 /s "$file" >/dev/null 2>&1; then
      echo "xlsim: regsvr32 $file failed" >&2
      wineserver -w
      return 1
    fi
  done
  wineserver -w
  echo "$built" >"$stamp"
}

# Everything above, for the architecture asked for (empty: the default).
xlsim_setup() {
  xlsim_pick_arch "${1:-}" || return 1
  xlsim_build_missing
  xlsim_prepare_prefix || return 1
  xlsim_register || return 1
  xlsim_stop_server
}

# Runs a bash snippet inside one headless X server with the prefix's own Wine server, which is
# stopped inside the same session; returns the snippet's status. The snippet sees the variables
# exported here, and its arguments as "$@".
xlsim_in_x() {
  local snippet=$1
  shift
  # shellcheck disable=SC2016
  xvfb-run -a -s "-screen 0 1280x800x24" \
    bash -c 'snippet=$1; shift; eval "$snippet"; code=$?; wineserver -k >/dev/null 2>&1; exit $code' \
    xlsim-session "$snippet" "$@"
}
