#!/usr/bin/env bash
# scripts/sign-signatures with a throwaway key: its signature verifies in minisign's pre-hashed
# form with the set's version and date in the trusted comment, and no longer once the set
# changes; a set without its version, and a key inside the repository, are refused.
# Usage: sign-signatures.sh REPOSITORY
set -euo pipefail
repo="$1"
sign="$repo/scripts/sign-signatures"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "sign-signatures.sh: $*" >&2
  exit 1
}

minisign -G -W -p "$work/test.pub" -s "$work/test.key" >/dev/null
printf '; a set\r\n[Signatures]\r\nVersion=7\r\nDate=2026-12-07\r\n[Scanfiles]\r\nEVIL.EXE=Test threat\r\n' >"$work/set.ini"
"$sign" "$work/test.key" "$work/set.ini" >/dev/null
minisign -V -H -p "$work/test.pub" -m "$work/set.ini" |
  grep -qx 'Trusted comment: Orvento Halvik signatures version 7 date 2026-12-07' || fail "the signature does not verify"
printf 'OTHER.EXE=Test threat\r\n' >>"$work/set.ini"
if minisign -V -q -p "$work/test.pub" -m "$work/set.ini"; then fail "a changed set verified"; fi

printf '[Scanfiles]\r\nEVIL.EXE=Test threat\r\n' >"$work/bare.ini"
if "$sign" "$work/test.key" "$work/bare.ini" 2>/dev/null; then fail "a set without its version was signed"; fi
[ ! -e "$work/bare.ini.minisig" ] || fail "a set without its version got a signature"
if "$sign" "$repo/data/keys/orvento-halvik-release.pub" "$work/set.ini" 2>"$work/err"; then
  fail "a key inside the repository was used"
fi
grep -q "inside the repository" "$work/err" || fail "a key inside the repository: $(cat "$work/err")"
