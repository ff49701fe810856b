#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and fuzzes each for a bounded time, two
# at a time, on a scratch copy of its committed seeds and regression inputs, so that the
# repository is never written to. Fails, naming the saved input, when a target crashes, hangs or
# breaks one of its properties.
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]
#   SECONDS per target, default $VESTRANO_FUZZ_SECONDS or 30; targets default to all five:
#   wildcard settings_store script_lexer scenario module_image.
#   VESTRANO_FUZZ_SEED (default 1) fixes libFuzzer's random seed, so that a run the tests make
#   explores the same way each time and a failure can be replayed; 0 picks a new seed each run,
#   for exploring further by hand.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/quiet-build.sh

seconds=${1:-${VESTRANO_FUZZ_SECONDS:-30}}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz: SECONDS must be a whole number above 0, not '$seconds'" >&2
  exit 2
fi
shift || true
# The longest input each target reads (its body cuts anything longer); see fuzz/fuzz_bodies.h.
declare -A max_len=([wildcard]=2048 [settings_store]=1024 [script_lexer]=1024 [scenario]=1024
  [module_image]=4096)
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(wildcard settings_store script_lexer scenario module_image)
fi
for name in "${targets[@]}"; do
  if [[ -z ${max_len[$name]+set} ]]; then
    echo "fuzz: no target named '$name' (${!max_len[*]})" >&2
    exit 2
  fi
done
parallel=${VESTRANO_BUILD_JOBS:-2}
seed=${VESTRANO_FUZZ_SEED:-1}
if ! [[ $seed =~ ^[0-9]+$ ]]; then
  echo "fuzz: VESTRANO_FUZZ_SEED must be a whole number, not '$seed'" >&2
  exit 2
fi

build=build/fuzz
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DVESTRANO_FUZZ=ON -DVESTRANO_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
quiet_build "$build/build.log" "$build" -j "$parallel" --target "${targets[@]/#/fuzz_}"

# Fuzzes one target into build/fuzz/run/NAME: corpus/ (the scratch corpus, which the fuzzer
# grows), crashes/ (what it saves when an input fails), log and status (the fuzzer's exit code).
fuzz_one() {
  local name=$1 run=$build/run/$1
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/crashes"
  cp fuzz/corpus/"$name"/* "$run/corpus/"
  if [[ -d fuzz/regressions/$name ]]; then
    for input in fuzz/regressions/"$name"/*; do
      cp "$input" "$run/corpus/regression-${input##*/}"
    done
  fi
  if [[ $name == scenario ]]; then
    # The scenario tests are good seeds too, as far as they fit.
    for input in tests/scenarios/*.vsc; do
      if (($(wc -c < "$input") <= max_len[scenario])); then
        cp "$input" "$run/corpus/test-${input##*/}"
      fi
    done
  fi
  local options=(-seed="$seed" -max_total_time="$seconds" -max_len="${max_len[$name]}" -timeout=10
                 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$run/crashes/")
  if [[ -f fuzz/dict/$name.dict ]]; then options+=(-dict="fuzz/dict/$name.dict"); fi
  local status=0
  "$build/fuzz_$name" "${options[@]}" "$run/corpus" > "$run/log" 2>&1 || status=$?
  echo "$status" > "$run/status"
}

for name in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
  echo "fuzz: $name for ${seconds}s"
  fuzz_one "$name" &
done
wait

failed=0
for name in "${targets[@]}"; do
  run=$build/run/$name
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" 2>/dev/null || true)
  saved=("$run"/crashes/*)
  if [[ $(cat "$run/status" 2>/dev/null) == 0 && -n $runs && ! -e ${saved[0]} ]]; then
    echo "fuzz: $name passed: $runs runs in ${seconds}s, corpus now $(ls "$run/corpus" | wc -l) inputs"
    continue
  fi
  failed=1
  echo "fuzz: $name FAILED; what $run/log says:" >&2
  grep -E -m 8 'property broken|Assertion|runtime error|==ERROR|SUMMARY|^MS:|^artifact' \
    "$run/log" >&2 || tail -n 15 "$run/log" >&2
  for input in "${saved[@]}"; do
    if [[ -e $input ]]; then
      echo "fuzz: $name failed on the input $input" >&2
      echo "fuzz:   replay it with $build/fuzz_$name $input; keep it in fuzz/regressions/$name/" >&2
    fi
  done
done
exit "$failed"
