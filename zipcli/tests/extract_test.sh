#!/usr/bin/env bash
# lunaro-zip extract and test against the engine beside it, on archives
# written by python3's zipfile and Info-ZIP zip: folders kept or dropped,
# the overwrite choices, selections, damaged and hostile entries, passwords
# and every exit status.
#   usage: extract_test.sh PATH_TO_LUNARO_ZIP
# Exits 77 (skipped) when the engine was not built, except in CI.
set -euo pipefail
tool=$1
# shellcheck source=engine_test_lib.sh
source "$(dirname "$0")/engine_test_lib.sh"
same() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }

cd "$work"
python3 - <<'PY'
import zipfile, os
data = {
    "top.txt": b"top level\n" * 100,
    "dir/sub/deep.txt": b"deep inside\n" * 1000,
    "stored.bin": bytes(range(256)) * 40,
}
os.makedirs("expected/dir/sub")
for name, body in data.items():
    open("expected/" + name, "wb").write(body)
with zipfile.ZipFile("a.zip", "w") as z:
    z.writestr("top.txt", data["top.txt"], zipfile.ZIP_DEFLATED)
    z.writestr("dir/sub/deep.txt", data["dir/sub/deep.txt"], zipfile.ZIP_DEFLATED)
    z.writestr("stored.bin", data["stored.bin"], zipfile.ZIP_STORED)
# One stored entry's data changed after the CRC was taken.
whole = bytearray(open("a.zip", "rb").read())
at = whole.find(bytes(range(256)))
whole[at + 5] ^= 0xFF
open("crc.zip", "wb").write(whole)
with zipfile.ZipFile("slip.zip", "w") as z:
    z.writestr("good.txt", b"good")
    z.writestr("../escaped.txt", b"bad")
    z.writestr("/abs.txt", b"bad")
open("garbage.zip", "wb").write(b"no archive here" * 100)
PY

# Folders are kept by default; -j drops them.
mkdir out flat
run 0 extract -d out a.zip
same out/top.txt expected/top.txt
same out/dir/sub/deep.txt expected/dir/sub/deep.txt
same out/stored.bin expected/stored.bin
run 0 extract -j -d flat a.zip
same flat/deep.txt expected/dir/sub/deep.txt
[ ! -e flat/dir ] || fail "-j kept a folder"

# Existing files: kept and named when nobody can be asked, kept silently
# with -n, replaced with -o.
echo changed >out/top.txt
run 1 extract -d out a.zip
grep -q "top.txt" err.txt || fail "a kept file was not named"
[ "$(cat out/top.txt)" = changed ] || fail "a file was overwritten without -o"
run 0 extract -n -d out a.zip
[ "$(cat out/top.txt)" = changed ] || fail "-n overwrote a file"
run 0 extract -o -d out a.zip
same out/top.txt expected/top.txt

# Selections, exclusions, a name that selects nothing.
mkdir sel
run 0 extract -d sel a.zip '*.txt' -x top.txt
[ -f sel/dir/sub/deep.txt ] && [ ! -e sel/top.txt ] && [ ! -e sel/stored.bin ] || fail "selection went wrong"
run 1 extract -d sel -o a.zip nothing-like-this
grep -q "nothing-like-this: no entry matches" err.txt || fail "an unmatched name was not reported"

# Testing writes nothing and finds the damaged entry; extracting it leaves
# the good file in place.
run 0 test a.zip
run 1 test crc.zip
grep -q "stored.bin" err.txt || fail "the damaged entry was not named"
run 1 extract -o -d out crc.zip
same out/stored.bin expected/stored.bin
ls -A out | grep -v -E '^(top.txt|dir|stored.bin)$' && fail "a stray file was left in the destination"

# Hostile names never leave the destination.
mkdir slip
run 1 extract -d slip slip.zip
[ -f slip/good.txt ] || fail "the good entry of a hostile archive was not extracted"
[ ! -e escaped.txt ] && [ ! -e /abs.txt ] || fail "an entry escaped its folder"
grep -q "escaped.txt" err.txt || fail "a refused name was not reported"

# Passwords.
if command -v zip >/dev/null; then
    (cd expected && zip -q -P secret ../enc.zip top.txt)
    mkdir enc
    run 0 extract -d enc --password=secret enc.zip
    same enc/top.txt expected/top.txt
    run 1 extract -o -d enc --password=wrong enc.zip
    grep -q "password" err.txt || fail "a wrong password was not reported"
    same enc/top.txt expected/top.txt
fi

# Nothing could be done.
run 2 extract -d out garbage.zip
run 2 extract -d out missing.zip
grep -q "Input file does not exist" err.txt || fail "no message for a missing archive"
run 2 extract -d no-such-folder a.zip
grep -q "must exist" err.txt || fail "no message for a missing destination"
run 2 extract --engine=/no/such/ZipEngine190.dll -d out a.zip
grep -q "Failed to load /no/such/ZipEngine190.dll" err.txt || fail "no message for a missing engine"
run 2 test --engine=$work/expected/top.txt a.zip
for args in "extract" "test" "extract -o -n a.zip" "extract -d" "test a.zip b.zip" "extract -q a.zip" "extract a.zip -x"; do
    # shellcheck disable=SC2086
    run 2 $args
done
echo "lunaro-zip extract/test: all checks passed"
