#!/usr/bin/env bash
# Tests Vestrano's setup program under Wine, in fresh prefixes of its own: the 64-bit one (both
# registry views) and, where this machine runs 32-bit programs, a 32-bit one. In each, for the
# per-user and then the machine-wide installation:
#   - installs silently and checks the files, the registration in each view and the uninstall entry
#     (machine-wide: that the setup wrote exactly the keys that regsvr32 wrote per user);
#   - plays a scenario in xlsim, which loads the add-in from where the setup put it, through the
#     add-in record as Excel does;
#   - installs the same version again, then a newer build over it, and checks that the user's
#     settings are kept; an older setup over the newer installation must refuse (exit code 4), and
#     so must a setup while Excel has the add-in loaded (exit code 3; per user, 64-bit prefix);
#   - uninstalls silently and checks that nothing made since the prefix was new is left but the
#     user's settings key.
# Last, /REMOVESETTINGS removes the settings too.
#
# The setup programs come from scripts/package.sh: this build's, and a newer build of the same code
# (the build number in the version record one higher; only the resources are compiled again).
# Usage: scripts/test-installer.sh [--no-build]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/xlsim-env.sh

# This build's setup program, unsigned, and the newer build's, signed with a throwaway certificate
# so that the signing path is tried too; the signatures are checked (the certificate is its own
# authority).
build_setup_programs() {
  local work=$root/build/installer-test log dir file stages setups
  rm -rf "$work" build/installer
  mkdir -p "$work"
  log=$work/build.log
  echo "== test-installer: building the newer build (version record one higher), both setup programs"
  for dir in build/win32 build/win64; do
    cmake --build "$dir" --target Vestrano_next -j "${VESTRANO_BUILD_JOBS:-2}" >>"$log" 2>&1 ||
      { cat "$log"; echo "test-installer: building $dir/next failed" >&2; exit 1; }
  done
  bash scripts/package.sh >"$work/package.log" 2>&1 || { cat "$work/package.log"; exit 1; }
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
    -subj "/CN=Vestrano test" >>"$log" 2>&1
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" \
    -passout pass:throwaway >>"$log" 2>&1
  VESTRANO_SIGN_CERT=$work/cert.pfx VESTRANO_SIGN_PASSWORD=throwaway \
    bash scripts/package.sh --from next >>"$work/package.log" 2>&1 ||
    { cat "$work/package.log"; exit 1; }
  grep '^== package: ' "$work/package.log"
  signed() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >>"$log" 2>&1; }
  stages=(build/installer/stage-*)
  setups=(build/installer/Vestrano-*-setup.exe)
  for file in "${setups[1]}" "${stages[1]}"/x86/* "${stages[1]}"/x64/*; do
    signed "$file" || { cat "$log"; echo "test-installer: $file is not signed" >&2; exit 1; }
  done
  for file in "${setups[0]}" "${stages[0]}"/x86/* "${stages[0]}"/x64/*; do
    ! signed "$file" || { echo "test-installer: $file is signed without a certificate" >&2; exit 1; }
  done
  echo "== test-installer: the newer setup, its DLLs and modules are signed; this build's are not"
}

if [[ ${1:-} != --in-x ]]; then
  if [[ ${1:-} != --no-build ]]; then bash scripts/build-windows.sh; fi
  xlsim_find_loaders
  if [[ -z $xlsim_wine32 ]]; then
    echo "== test-installer: skipped: this machine cannot run 32-bit Windows programs," \
      "and the setup program is one"
    exit 0
  fi
  build_setup_programs
  # Everything else runs inside one headless X server, which xlsim needs.
  exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" --in-x
fi

xlsim_find_loaders
work=$root/build/installer-test
check=(python3 "$root/tests/installer/check_install.py")
setups=("$root"/build/installer/Vestrano-*-setup.exe)
((${#setups[@]} == 2)) ||
  { echo "test-installer: want two setup programs, found ${setups[*]}" >&2; exit 1; }
setup_current=${setups[0]} setup_newer=${setups[1]}
current=${setup_current##*/Vestrano-} current=${current%-setup.exe}
newer=${setup_newer##*/Vestrano-} newer=${newer%-setup.exe}

say() { echo "== test-installer ($arch-bit, $mode, ${SECONDS}s): $*"; }
fail() { echo "test-installer: FAIL ($arch-bit, ${mode:-}): $*" >&2; exit 1; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Runs a Windows program in the prefix; its exit code is the program's.
run() { timeout 180 "$xlsim_wine32" "$@" >>"$work/wine-$arch.log" 2>&1; }
run64() { timeout 180 "$xlsim_wine64" "$@" >>"$work/wine-$arch.log" 2>&1; }
# The prefix's own bitness: a 32-bit reg or regedit would see the 32-bit view.
run_native() { if [[ $arch == 64 ]]; then run64 "$@"; else run "$@"; fi; }
# Stops the prefix's server once the program that ran has ended, which writes the registry to the
# prefix's files for the checks (quicker than waiting for the server to stop by itself).
settle() { wineserver -k 2>/dev/null || true; wineserver -w; }
# Waits for every process of the prefix, also those a program left running: an NSIS uninstaller
# returns before its copy is done, and the add-in's first start runs regsvr32 in the background.
finish() { wineserver -w; }

# expect_exit CODE what COMMAND...
expect_exit() {
  local want=$1 what=$2 got=0
  shift 2
  "$@" || got=$?
  settle
  ((got == want)) || fail "$what: exit code $got, expected $want"
}

new_prefix() {
  export WINEPREFIX=$work/prefix-$arch
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  if [[ $arch == 32 ]]; then
    WINEARCH=win32 timeout 180 "$xlsim_wine32" wineboot -i >/dev/null 2>&1 || true
  else
    WINEARCH=win64 timeout 180 "$xlsim_wine64" wineboot -i >/dev/null 2>&1 || true
  fi
  finish
  [[ -f $WINEPREFIX/system.reg ]] || fail "creating the Wine prefix failed"
  # Without a window manager each top-level window would take seconds to go; xlsim reads the tab
  # strip through oleacc's proxy, which Windows registers and a new prefix lacks.
  run_native reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  run regsvr32 /s oleacc.dll || true
  if [[ $arch == 64 ]]; then run64 regsvr32 /s oleacc.dll || true; fi
  settle
}

# The xlsim builds that this prefix's Windows runs, each loading the add-in of its own bitness from
# its own folder.
xlsims() { if [[ $arch == 64 ]]; then echo "32 64"; else echo 32; fi; }
folders() { if [[ $arch == 64 ]]; then echo "x86 x64"; else echo x86; fi; }
xlsim_run() {
  local bits=$1
  shift
  if [[ $bits == 32 ]]; then
    run "$root/build/win32/xlsim.exe" "$@"
  else
    run64 "$root/build/win64/xlsim.exe" "$@"
  fi
}
windows_path() { xlsim_windows_path "$1"; }
unix_path_of() { "${check[@]}" unix-path "$WINEPREFIX" "$1"; }

# Wine ignores classes registered per user (Windows does not); for the play, the tab strip's
# class of each view is copied to the machine's classes, where the add-in's own registration has
# put its class already (Wine's regsvr32 runs elevated), and taken away again afterwards so that
# the check of what is left sees only what the setup and the registration made.
mirror_user_classes() {
  local action=$1 install_dir=$2 script=$work/mirror.reg folder view key
  echo "Windows Registry Editor Version 5.00" >"$script"
  for view in $(xlsims); do
    folder=x64 key='HKEY_LOCAL_MACHINE\Software\Classes\CLSID\{4B516A82-9537-463A-ABEE-31811B641E99}'
    if [[ $view == 32 && $arch == 64 ]]; then
      folder=x86 key='HKEY_LOCAL_MACHINE\Software\Classes\Wow6432Node\CLSID\{4B516A82-9537-463A-ABEE-31811B641E99}'
    elif [[ $view == 32 ]]; then
      folder=x86
    fi
    if [[ $action == add ]]; then
      printf '[%s]\n@="Vestrano tab strip"\n[%s\\InprocServer32]\n@="%s"\n"ThreadingModel"="Apartment"\n' \
        "$key" "$key" "${install_dir//\\/\\\\}\\\\$folder\\\\Zandrelix.ocx" >>"$script"
    else
      printf '[-%s]\n' "$key" >>"$script"
    fi
  done
  run_native regedit /S "$(windows_path "$script")" || fail "regedit $action the mirror failed"
}

# The add-in finds the tab strip module the setup installed through its class registration, and
# so writes none of its own at its first start (in the system folder or the user's local
# application data, where it would look when it found none).
check_startup_wrote_nothing() {
  local written=()
  mapfile -t written < <(find "$WINEPREFIX/drive_c/windows/system32" "$WINEPREFIX/drive_c/windows/syswow64" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Local/Vestrano -maxdepth 2 -iname Zandrelix.ocx 2>/dev/null)
  ((${#written[@]} == 0)) ||
    fail "the add-in's own first start wrote ${written[*]#"$WINEPREFIX"/} beside the setup's module"
  say "the add-in wrote nothing at its first start"
}

setup() { run "$@"; }
uninstall_and_wait() {
  local got=0
  setup "$@" || got=$?
  finish
  return "$got"
}
installed_dir() {
  local command
  mapfile -t command < <("${check[@]}" uninstall-command "$WINEPREFIX" "$mode")
  printf '%s' "${command[0]%\\Uninstall.exe}"
}
# The files must be the ones the setup program of that version packaged.
check_installed() {
  local version=$1 stage=$root/build/installer/stage-$1
  "${check[@]}" installed "$WINEPREFIX" "$mode" "$arch" --version "$version" \
    --files32 "$stage/x86" --files64 "$stage/x64" --keys "$work/regsvr32-keys-$arch.json" ||
    fail "the installation of $version is not as it should be"
}

play_in_xlsim() {
  local dir bits
  dir=$(installed_dir)
  if [[ $mode == user ]]; then mirror_user_classes add "$dir"; fi
  for bits in $(xlsims); do
    xlsim_run "$bits" "$(windows_path "$root/tests/installer/installed.vsc")" ||
      { tail -20 "$work/wine-$arch.log"; fail "the ${bits}-bit xlsim did not load the installed add-in"; }
    finish
    say "the ${bits}-bit xlsim loaded the installed add-in and showed its tabs"
  done
  if [[ $mode == user ]]; then mirror_user_classes remove "$dir"; fi
  check_startup_wrote_nothing
}

# A setup while Excel holds the add-in changes nothing and says why (per user).
upgrade_while_excel_runs() {
  local xlsim_pid waited=0 got=0
  mirror_user_classes add "$(installed_dir)"
  xlsim_run 32 "$(windows_path "$root/tests/installer/excel_running.vsc")" &
  xlsim_pid=$!
  until run_native reg query 'HKCU\Software\VestranoInstallerTest' /v connected; do
    ((++waited < 60)) || fail "xlsim did not connect the add-in"
    sleep 0.5
  done
  setup "$setup_newer" /S || got=$?
  wait "$xlsim_pid" || fail "xlsim failed while the setup ran"
  finish
  ((got == 3)) || fail "a setup while Excel holds the add-in: exit code $got, expected 3"
  local folder file dir
  dir=$(unix_path_of "$(installed_dir)")
  for folder in $(folders); do
    for file in Vestrano.dll Zandrelix.ocx; do
      cmp -s "$dir/$folder/$file" "$root/build/installer/stage-$current/$folder/$file" ||
        fail "the refused setup changed $folder\\$file"
    done
  done
  say "a setup while Excel has the add-in loaded refused (exit code 3) and changed nothing"
  mirror_user_classes remove "$(installed_dir)"
  check_startup_wrote_nothing
}

test_mode() {
  local switches=() uninstall
  if [[ $mode == machine ]]; then switches=(/ALLUSERS); fi
  expect_exit 0 "silent install of $current" setup "$setup_current" /S "${switches[@]}"
  check_installed "$current"
  play_in_xlsim
  # Once: the 32-bit prefix would run the same refusal again.
  if [[ $mode == user && $arch == 64 ]]; then upgrade_while_excel_runs; fi
  expect_exit 0 "installing $current again" setup "$setup_current" /S "${switches[@]}"
  check_installed "$current"
  expect_exit 0 "upgrading to $newer" setup "$setup_newer" /S "${switches[@]}"
  check_installed "$newer"
  osslsigncode verify -CAfile "$work/cert.pem" -in "$(unix_path_of "$(installed_dir)")/Uninstall.exe" \
    >>"$work/build.log" 2>&1 || fail "the newer setup's uninstaller is not signed"
  expect_exit 4 "installing the older $current over $newer" setup "$setup_current" /S "${switches[@]}"
  check_installed "$newer"
  say "installed, reinstalled, upgraded to $newer; an older setup refused (exit code 4)"
  if [[ $mode == user ]]; then
    # As Windows runs it from the list of installed programs.
    mapfile -t uninstall < <("${check[@]}" uninstall-command "$WINEPREFIX" "$mode")
    expect_exit 0 "the uninstall entry's quiet uninstall" uninstall_and_wait "${uninstall[@]}"
  else
    expect_exit 0 "silent uninstall" setup "$setup_newer" /S /UNINSTALL /ALLUSERS
  fi
  "${check[@]}" left "$WINEPREFIX" "$work/before-$arch.json" kept ||
    fail "the uninstall left something behind"
  say "uninstalled: nothing left but the user's settings"
}

test_prefix() {
  local started=$SECONDS
  mode=new
  new_prefix
  say "a fresh prefix"
  "${check[@]}" snapshot "$WINEPREFIX" "$work/before-$arch.json"
  # The user's own settings, from using the add-in before.
  run_native reg add 'HKCU\SOFTWARE\Microsoft\Shared Tools\Vestrano' /v Position /t REG_DWORD /d 1 /f
  settle
  for mode in user machine; do test_mode; done
  mode=user
  expect_exit 0 "/UNINSTALL /REMOVESETTINGS" setup "$setup_current" /S /UNINSTALL /REMOVESETTINGS
  "${check[@]}" left "$WINEPREFIX" "$work/before-$arch.json" removed ||
    fail "/REMOVESETTINGS kept the settings"
  say "/REMOVESETTINGS removed the user's settings ($((SECONDS - started))s for this prefix)"
  wineserver -k || true
}

started=$SECONDS
for arch in 64 32; do test_prefix; done
echo "== test-installer: passed in $((SECONDS - started))s"
