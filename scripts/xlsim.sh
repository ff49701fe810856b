#!/usr/bin/env bash
# Plays one scenario file in xlsim, the simulated Excel, against the real Vestrano.dll under Wine
# and Xvfb: builds what is missing, prepares the Wine prefix once, registers the DLL (the 32-bit
# one wherever this machine runs 32-bit programs, else the 64-bit one), runs xlsim.exe, prints
# exactly the scenario's output lines on standard output and exits with xlsim's status (0 every
# expectation held, 1 one did not, 2 the script is wrong). Diagnostics go to standard error.
#
# Usage: scripts/xlsim.sh [--arch 32|64] [--screenshot FILE.png] SCRIPT
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xlsim-env.sh"

arch="" screenshot="" script=""
while (($#)); do
  case $1 in
    --arch) arch=${2:-}; shift 2 ;;
    --screenshot) screenshot=${2:-}; shift 2 ;;
    -h | --help) sed -n '2,9p' "$0" >&2; exit 0 ;;
    *)
      [[ -z $script ]] || { echo "usage: scripts/xlsim.sh [--arch 32|64] [--screenshot FILE.png] SCRIPT" >&2; exit 2; }
      script=$1; shift ;;
  esac
done
[[ -n $script ]] || { echo "usage: scripts/xlsim.sh [--arch 32|64] [--screenshot FILE.png] SCRIPT" >&2; exit 2; }
[[ -r $script ]] || { echo "xlsim: cannot read $script" >&2; exit 2; }

xlsim_setup "$arch"
trap xlsim_stop_server EXIT

bmp=""
args=()
if [[ -n $screenshot ]]; then
  bmp=$(mktemp --suffix=.bmp)
  args=(--screenshot "$(xlsim_windows_path "$bmp")")
fi
xlsim_say "xlsim: playing $script in the ${xlsim_arch}-bit xlsim"
status=0
# shellcheck disable=SC2016
xlsim_in_x '"$@"' "$xlsim_loader" "$xlsim_dir/xlsim.exe" "${args[@]}" \
  "$(xlsim_windows_path "$(realpath "$script")")" || status=$?
if [[ -n $bmp ]]; then
  if [[ -s $bmp ]]; then
    mkdir -p "$(dirname "$screenshot")"
    convert "$bmp" -strip -define png:exclude-chunks=date,time "png24:$screenshot"
    xlsim_say "xlsim: screenshot written to $screenshot"
  else
    echo "xlsim: no screenshot was taken" >&2
    status=${status/#0/1}
  fi
  rm -f "$bmp"
fi
exit "$status"
