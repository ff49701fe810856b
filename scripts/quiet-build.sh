# shellcheck shell=bash
# Sourced by the scripts that build (not run): `quiet_build LOG ARGS...` runs
# `cmake --build ARGS...` with everything the compiler says kept in LOG, and shows only CMake's
# progress lines ("[ 42%] Building CXX object ..."). When the build fails, it shows the whole log
# on standard error, so the error is seen where it happened.

quiet_build() {
  local log=$1 status=0
  shift
  mkdir -p "$(dirname "$log")"
  (
    set +e
    cmake --build "$@" 2>&1 | tee "$log" | grep --line-buffered -E '^\[ *[0-9]+(%|/[0-9]+)\] '
    exit "${PIPESTATUS[0]}"
  ) || status=$?
  if ((status != 0)); then
    cat "$log" >&2
    echo "== the build failed; its whole output is in $log" >&2
  fi
  return "$status"
}
