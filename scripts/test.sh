#!/usr/bin/env bash
# Installs whatever is missing, then runs every test: the Linux build of the logic with its unit
# tests, scenarios and benchmark smoke test under AddressSanitizer and UndefinedBehaviorSanitizer,
# a bounded run of each fuzz target, the cross build of both DLLs with their export, import and
# version checks, the real DLL registered, created and connected to a minimal Excel under Wine, and
# every scenario played again in xlsim, a simulated Excel that loads the real DLL, with the same lines,
# and the setup program installed, upgraded and uninstalled under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/quiet-build.sh
jobs=${VESTRANO_BUILD_JOBS:-2}
started=$SECONDS
step() { printf '== %s (%ss)\n' "$*" "$((SECONDS - started))"; }

step "checking that includes point down the layers"
bash scripts/check-includes.sh

step "installing missing packages"
bash scripts/install-deps.sh

step "building the logic, fakes, vestrano-sim, tests and benchmarks (Linux, sanitizers on)"
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESTRANO_SANITIZE=ON > build-linux-configure.log 2>&1 ||
  { cat build-linux-configure.log; exit 1; }
rm -f build-linux-configure.log
quiet_build build/linux/build.log build/linux -j "$jobs"

step "running the unit tests, scenarios and benchmark smoke test"
(cd build/linux && ctest --output-on-failure -j "$jobs")

step "fuzzing the parsers of outside input and whole scenarios (${VESTRANO_FUZZ_SECONDS:-30}s per target, two at a time)"
bash scripts/fuzz.sh

step "cross-building Vestrano.dll (32-bit and 64-bit) and checking it"
bash scripts/build-windows.sh

step "registering, connecting and disconnecting the real DLL under Wine (headless)"
bash scripts/test-wine.sh --no-build

step "playing every scenario in xlsim, the real DLL in a simulated Excel, and comparing with vestrano-sim"
bash scripts/test-xlsim.sh

step "building the setup program and testing it under Wine: per user and machine-wide, upgrade, uninstall"
bash scripts/test-installer.sh --no-build

step "all tests passed"
