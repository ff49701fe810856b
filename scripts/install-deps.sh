#!/usr/bin/env bash
# Installs everything the project needs on Debian 12: the Linux build and its tests, clang with
# libFuzzer for the fuzz targets, the mingw-w64 cross build, Wine with Xvfb for running the DLL
# headless, and NSIS with osslsigncode for the setup program. Safe to run again: when every package
# is already installed it does no apt work.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev
  # The ribbon markup checker (scripts/check-ribbon-markup.sh) is a Python script.
  python3
  # libFuzzer's runtime (libclang_rt.fuzzer) is only recommended by clang, and recommends are off.
  clang libclang-rt-14-dev
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools
  wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-wqy-microhei x11-apps imagemagick
  # The setup program (scripts/package.sh) and its Authenticode signing.
  nsis osslsigncode
)

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#packages[@]} packages already installed"
  exit 0
fi

as_root=()
if ((EUID != 0)); then
  as_root=(sudo)
fi

echo "install-deps: installing ${#missing[@]} missing packages: ${missing[*]}"
# Wine's 32-bit half, which runs the 32-bit DLL, comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${packages[@]}"
echo "install-deps: done"
