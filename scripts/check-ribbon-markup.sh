#!/usr/bin/env bash
# Checks the ribbon markup that the add-in gives Excel against Office's customUI schemas: Excel
# 2007's (version 12) against the 2006 schema and Excel 2010's (version 14) against the 2009/07
# one. Office drops an invalid customization without a word, so this is the only place a broken
# markup would show. The markup comes from vestrano-sim; the checker and the schemas from the
# shared folder beside the repository (python3 only, which Debian's base system has).
# Usage: scripts/check-ribbon-markup.sh VESTRANO_SIM   (exit 77: the checker is not there)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sim=${1:?usage: check-ribbon-markup.sh VESTRANO_SIM}
shared=${VESTRANO_SHARED_DIR:-$root/../shared}
checker=$shared/tools/check-customui.py
if [[ ! -f $checker ]]; then
  echo "check-ribbon-markup: $checker is not there; nothing checked" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
for pair in 12.0:customui-2006-01.json 14.0:customui-2009-07.json; do
  version=${pair%%:*} schema=${pair#*:}
  printf 'version %s\nconnect\nribbon xml\ndisconnect\n' "$version" | "$sim" - >"$work/out"
  sed -n 's/^ribbon: //p' "$work/out" >"$work/markup.xml"
  if [[ ! -s $work/markup.xml ]]; then
    echo "check-ribbon-markup: version $version: vestrano-sim printed no markup" >&2
    status=1
    continue
  fi
  if python3 "$checker" "$work/markup.xml" "$shared/schemas/$schema" >"$work/report"; then
    echo "check-ribbon-markup: version $version: valid against $schema"
  else
    cat "$work/report" >&2
    echo "check-ribbon-markup: version $version: INVALID against $schema" >&2
    status=1
  fi
done
exit $status
