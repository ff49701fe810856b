#!/usr/bin/env bash
# Shows the add-in at work: builds vestrano-sim if needed and plays the demonstration scenario,
# which opens workbooks in the in-memory Excel, connects the add-in and prints its tab row.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/quiet-build.sh
if [[ ! -x build/linux/vestrano-sim ]]; then
  bash scripts/install-deps.sh
  cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
  quiet_build build/linux/build.log build/linux -j "${VESTRANO_BUILD_JOBS:-2}" --target vestrano-sim
fi
echo "Playing tests/scenarios/demo.vsc:"
sed -e '/^#/d' -e '/^$/d' -e 's/^/  > /' tests/scenarios/demo.vsc
echo "What the add-in shows:"
build/linux/vestrano-sim tests/scenarios/demo.vsc | sed 's/^/  /'
