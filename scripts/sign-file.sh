#!/usr/bin/env bash
# Signs one Windows file (DLL, module or setup program) in place with Authenticode, through
# osslsigncode, with the certificate that VESTRANO_SIGN_CERT names (a PKCS#12 file) and its
# password in VESTRANO_SIGN_PASSWORD; VESTRANO_SIGN_TIMESTAMP_URL, when set, has the signature
# time-stamped, so that it stays valid after the certificate expires. scripts/package.sh runs it
# for every file it ships, and makensis for the setup program and its uninstaller.
# Usage: scripts/sign-file.sh FILE
set -euo pipefail
file=$1
: "${VESTRANO_SIGN_CERT:?names the code-signing certificate}"
password_file=$(mktemp)
trap 'rm -f "$password_file" "$file.signed"' EXIT
chmod 600 "$password_file"
printf '%s' "${VESTRANO_SIGN_PASSWORD:-}" >"$password_file"
timestamp=()
if [[ -n ${VESTRANO_SIGN_TIMESTAMP_URL:-} ]]; then timestamp=(-t "$VESTRANO_SIGN_TIMESTAMP_URL"); fi
osslsigncode sign -pkcs12 "$VESTRANO_SIGN_CERT" -readpass "$password_file" -h sha256 \
  -n "Vestrano" "${timestamp[@]}" -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
