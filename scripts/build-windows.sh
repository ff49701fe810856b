#!/usr/bin/env bash
# Cross-builds Vestrano.dll and the tab strip module it carries, Zandrelix.ocx, for 32-bit Windows
# (build/win32) and 64-bit Windows (build/win64) with mingw-w64, then checks each file's exports,
# imports and version record, and that the check refuses the 32-bit DLL's imports that Windows XP
# lacks.
# Usage: scripts/build-windows.sh [Release|Debug|RelWithDebInfo]   (default Release)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/quiet-build.sh
build_type=${1:-Release}
jobs=${VESTRANO_BUILD_JOBS:-2}

build_one() {
  local dir=$1 triple=$2
  echo "== $triple: configuring $dir ($build_type)"
  mkdir -p "$dir"
  # CMake keeps the compiler it found first (in CMakeFiles/<version>/CMakeCXXCompiler.cmake)
  # whatever the toolchain file says later: a folder whose compiler was found before the toolchain
  # files last changed starts afresh.
  local found toolchain
  for found in "$dir"/CMakeFiles/*/CMakeCXXCompiler.cmake; do
    for toolchain in cmake/mingw-w64.cmake "cmake/toolchain-$triple.cmake"; do
      if [[ -f $found && $toolchain -nt $found ]]; then
        rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
        break 2
      fi
    done
  done
  # The configure output is long and only interesting when it fails.
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$triple.cmake" \
    -DCMAKE_BUILD_TYPE="$build_type" >"$dir/configure.log" 2>&1 ||
    { cat "$dir/configure.log" >&2; echo "== $triple: configuration failed" >&2; exit 1; }
  echo "== $triple: building (the compiler's output goes to $dir/build.log)"
  quiet_build "$dir/build.log" "$dir" -j "$jobs" || { echo "== $triple: build failed" >&2; exit 1; }
  echo "== $triple: checking $dir/Vestrano.dll and $dir/Zandrelix.ocx"
  scripts/check-dll.sh "$dir/Vestrano.dll" "$triple-objdump"
  scripts/check-dll.sh "$dir/Zandrelix.ocx" "$triple-objdump"
}

build_one build/win32 i686-w64-mingw32
build_one build/win64 x86_64-w64-mingw32
echo "== testing the Windows XP gate of scripts/check-dll.sh"
bash scripts/test-check-dll.sh
echo "== done: build/win{32,64}/Vestrano.dll and build/win{32,64}/Zandrelix.ocx"
