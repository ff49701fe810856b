#!/usr/bin/env bash
# Plays every scenario file under both runners and checks that they agree: vestrano-sim, the add-in's
# logic against the in-memory fakes, and xlsim, the real Vestrano.dll in a simulated Excel under
# Wine. Each file must pass under both and print the same lines. All xlsim runs share one Wine
# prefix and one X server. A file whose first lines hold "# xlsim: <reason>" is not played by
# xlsim (the reason is printed); the README lists those files.
#
# Usage: scripts/test-xlsim.sh [--arch 32|64] [SCENARIO...]   (default: tests/scenarios/*.vsc)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xlsim-env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/quiet-build.sh"
cd "$xlsim_root"

arch=""
scenarios=()
while (($#)); do
  case $1 in
    --arch) arch=${2:-}; shift 2 ;;
    *) scenarios+=("$1"); shift ;;
  esac
done
((${#scenarios[@]})) || scenarios=(tests/scenarios/*.vsc)

sim=build/linux/vestrano-sim
if [[ ! -x $sim ]]; then
  xlsim_say "test-xlsim: building vestrano-sim"
  cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  quiet_build build/linux/build.log build/linux -j "${VESTRANO_BUILD_JOBS:-2}" \
    --target vestrano-sim >&2
fi
xlsim_setup "$arch"
trap xlsim_stop_server EXIT

# A scenario that has not ended by then hangs (a dialog nobody closes): it fails, the rest still play.
scenario_limit=120
work=$(mktemp -d)
trap 'xlsim_stop_server; rm -rf "$work"' EXIT
played=() skipped=()
for scenario in "${scenarios[@]}"; do
  name=$(basename "$scenario" .vsc)
  reason=$(sed -n '1,5{s/^# xlsim: //p}' "$scenario" | head -n 1)
  if [[ -n $reason ]]; then
    skipped+=("$name: $reason")
    continue
  fi
  played+=("$(realpath "$scenario")")
  code=0
  "$sim" "$scenario" >"$work/$name.sim" 2>"$work/$name.sim-err" || code=$?
  echo "$code" >"$work/$name.sim-code"
done

started=$SECONDS
xlsim_say "test-xlsim: playing ${#played[@]} scenarios in the ${xlsim_arch}-bit xlsim (one X server)"
# shellcheck disable=SC2016
xlsim_in_x '
  loader=$1 exe=$2 work=$3 limit=$4
  shift 4
  for scenario in "$@"; do
    name=$(basename "$scenario" .vsc)
    begin=$(date +%s%N)
    code=0
    timeout "$limit" "$loader" "$exe" "$(printf "Z:%s" "${scenario//\//\\}")" >"$work/$name.xl" 2>"$work/$name.xl-err" || code=$?
    echo "$code" >"$work/$name.xl-code"
    echo $(( ($(date +%s%N) - begin) / 1000000 )) >"$work/$name.ms"
  done' "$xlsim_loader" "$xlsim_dir/xlsim.exe" "$work" "$scenario_limit" "${played[@]}" || true
elapsed=$((SECONDS - started))

failed=0
for scenario in "${played[@]}"; do
  name=$(basename "$scenario" .vsc)
  sim_code=$(cat "$work/$name.sim-code")
  xl_code=$(cat "$work/$name.xl-code" 2>/dev/null || echo "none")
  ms=$(cat "$work/$name.ms" 2>/dev/null || echo "?")
  if [[ $sim_code == 0 && $xl_code == 0 ]] && cmp -s "$work/$name.sim" "$work/$name.xl"; then
    echo "pass  $name (${ms} ms)"
    continue
  fi
  failed=$((failed + 1))
  echo "FAIL  $name: vestrano-sim status $sim_code, xlsim status $xl_code"
  diff -u --label vestrano-sim --label xlsim "$work/$name.sim" "$work/$name.xl" | sed 's/^/      /' || true
  sed 's/^/      vestrano-sim: /' "$work/$name.sim-err"
  sed 's/^/      xlsim: /' "$work/$name.xl-err" 2>/dev/null || true
done
for entry in "${skipped[@]}"; do echo "skip  $entry"; done
echo "test-xlsim: $((${#played[@]} - failed)) agreed, $failed failed, ${#skipped[@]} not played by xlsim;" \
  "xlsim took ${elapsed}s for ${#played[@]} scenarios"
((failed == 0))
