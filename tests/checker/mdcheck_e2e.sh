#!/usr/bin/env bash
# scripts/mdcheck end to end under Wine: the demo disk checks clean (exit 0); a copy with one song
# file removed gives that one error (exit 2, also in JSON); a bad option gives exit 3.
# Usage: mdcheck_e2e.sh   (MDCHECK_EXE and BUILD_DIR come from the test's environment)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$root/scripts/mdcheck
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$("$check" "$root/demo"); code=$?
echo "$out"
[ "$code" -eq 0 ] || fail "demo disk: exit $code, expected 0"
grep -qF "The disk is clean" <<<"$out" || fail "demo disk: no clean verdict"

disk=$(mktemp -d)
trap 'rm -rf "$disk"' EXIT
cp -r "$root/demo/." "$disk/"
rm "$disk/music/song02.mod"
out=$("$check" --json "$disk"); code=$?
echo "$out"
[ "$code" -eq 2 ] || fail "broken disk: exit $code, expected 2"
python3 "$root/tests/e2e/verdicts.py" mdcheck_json "$out" || fail "broken disk: JSON does not hold exactly the missing song"

"$check" --frobnicate "$root/demo" >/dev/null 2>&1; code=$?
[ "$code" -eq 3 ] || fail "unknown option: exit $code, expected 3"
echo "mdcheck end to end: ok"
