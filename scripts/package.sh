#!/usr/bin/env bash
# Builds Vestrano's setup program (installer/, NSIS) from the cross-built files of both bitnesses,
# build/win32 and build/win64 (building them first when they are missing), into
# build/installer/Vestrano-<version>-setup.exe, the version being the DLL's version record.
#
# With a code-signing certificate (VESTRANO_SIGN_CERT, a PKCS#12 file, and VESTRANO_SIGN_PASSWORD;
# see scripts/sign-file.sh) both DLLs, both modules, the uninstaller and the setup program are
# signed; without one the result is unsigned, and the last line says so.
#
# Usage: scripts/package.sh [--from SUBFOLDER]
#   --from next   packages build/win32/next and build/win64/next, the newer build of the same code
#                 that the installer's upgrade test uses (cmake --build DIR --target Vestrano_next)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

from=""
while (($#)); do
  case $1 in
    --from) from=${2:?--from needs a subfolder}; shift 2 ;;
    -h | --help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "usage: scripts/package.sh [--from SUBFOLDER]" >&2; exit 2 ;;
  esac
done

source32=$root/build/win32${from:+/$from}
source64=$root/build/win64${from:+/$from}
files=(Vestrano.dll Zandrelix.ocx)
for file in "${files[@]}"; do
  if [[ ! -f $source32/$file || ! -f $source64/$file ]]; then
    [[ -z $from ]] || { echo "package: $source32 or $source64 lacks $file" >&2; exit 1; }
    echo "== package: building the DLLs first ($file is missing)"
    bash scripts/build-windows.sh
    break
  fi
done
command -v makensis >/dev/null ||
  { echo "package: makensis is missing (scripts/install-deps.sh installs nsis)" >&2; exit 1; }

# The version record's file version, from the fixed part that follows its signature 0xFEEF04BD
# after the record's key "VS_VERSION_INFO" (UTF-16): the DLL's own code holds the signature too,
# since it reads version records itself.
version=$(python3 - "$source32/Vestrano.dll" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
key = data.find("VS_VERSION_INFO".encode("utf-16-le"))
at = data.find(struct.pack("<I", 0xFEEF04BD), key) if key >= 0 else -1
if at < 0:
    sys.exit("no version record in " + sys.argv[1])
ms, ls = struct.unpack_from("<II", data, at + 8)
print(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
PY
)
out_dir=$root/build/installer
stage=$out_dir/stage-$version
output=$out_dir/Vestrano-$version-setup.exe
log=$out_dir/package-$version.log
rm -rf "$stage"
mkdir -p "$stage/x86" "$stage/x64"
: >"$log"
for file in "${files[@]}"; do
  cp "$source32/$file" "$stage/x86/$file"
  cp "$source64/$file" "$stage/x64/$file"
done

signing=()
if [[ -n ${VESTRANO_SIGN_CERT:-} ]]; then
  [[ -r $VESTRANO_SIGN_CERT ]] ||
    { echo "package: cannot read VESTRANO_SIGN_CERT=$VESTRANO_SIGN_CERT" >&2; exit 1; }
  # makensis runs the signing from the installer's folder.
  VESTRANO_SIGN_CERT=$(realpath "$VESTRANO_SIGN_CERT")
  export VESTRANO_SIGN_CERT
  echo "== package: signing both DLLs and both modules with $VESTRANO_SIGN_CERT"
  for file in "$stage"/x86/* "$stage"/x64/*; do
    bash scripts/sign-file.sh "$file" >>"$log" 2>&1 ||
      { cat "$log" >&2; echo "package: signing $file failed" >&2; exit 1; }
  done
  sign_command="bash \"$root/scripts/sign-file.sh\" \"%1\""
  signing=(-DUNINSTALLER_SIGN="$sign_command" -DSETUP_SIGN="$sign_command")
fi

echo "== package: building the setup program for Vestrano $version (makensis)"
rm -f "$output"
if ! makensis -V2 -DSOURCE32="$stage/x86" -DSOURCE64="$stage/x64" -DOUTFILE="$output" \
  "${signing[@]}" installer/vestrano.nsi >>"$log" 2>&1; then
  cat "$log" >&2
  echo "package: makensis failed (log: $log)" >&2
  exit 1
fi
if ((${#signing[@]})); then
  echo "== package: $output (signed)"
else
  echo "== package: $output"
  echo "== package: UNSIGNED: no code-signing certificate given (VESTRANO_SIGN_CERT): Windows" \
    "SmartScreen will warn, and Office set to require signed add-ins will not load it"
fi
