#!/usr/bin/env bash
# Checks that #include lines point down the layers only, so that the folders never form a cycle:
# base and host at the bottom, then the shared core and the host adapters, then the subsystems in
# the order in which they build on each other, then the COM server and the scenario runners, and
# the tests on top. A file may include headers of its own folder or of any lower layer; a
# folder's win32/ subfolder sits just above the folder. A folder missing from the table fails
# the check, so that a new folder gets its place on purpose.
# Usage: scripts/check-includes.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

declare -A layer=(
  [base]=0 [resources]=0 [scenario]=0
  [host]=10
  [core]=20 [host/fake]=20 [host/win32]=20 [tabctl]=20 [tabctl/win32]=25
  [winhook]=30 [winhook/win32]=35
  [dialogs]=40 [dialogs/win32]=45
  [menus]=50 [menus/win32]=55
  [tabbar]=60 [tabbar/win32]=65
  [addin]=70 [addin/win32]=75
  [sim]=80 [xlsim]=80 [xlsim/win32]=85
  [bench]=90 [fuzz]=90 [tests]=90 [tests/wine]=90
)

failures=0
complain() {
  echo "check-includes: $*" >&2
  failures=$((failures + 1))
}

while IFS= read -r file; do
  folder=$(dirname "$file")
  if [[ -z ${layer[$folder]+set} ]]; then
    complain "$file: the folder $folder has no layer; add it to scripts/check-includes.sh"
    continue
  fi
  while IFS=: read -r line header; do
    target=$(dirname "$header")
    if [[ $target == . ]]; then
      complain "$file:$line: include \"$header\" by its path from the repository root"
    elif [[ -z ${layer[$target]+set} ]]; then
      complain "$file:$line: \"$header\" is in $target, which has no layer"
    elif [[ $target != "$folder" ]] && ((layer[$target] >= layer[$folder])); then
      complain "$file:$line: $folder may not include \"$header\": $target is not below it"
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp')

if ((failures > 0)); then
  echo "check-includes: $failures include(s) point up or sideways" >&2
  exit 1
fi
echo "check-includes: every include points down the layers"
