#!/usr/bin/env bash
# lunaro-zip add, delete and rename against the engine beside it: every
# archive it makes or changes is read back by unzip -t, bsdtar -tf and
# python3's zipfile; failures name what failed, leave the archive byte for
# byte as it was, and give extract's exit statuses.
#   usage: write_test.sh PATH_TO_LUNARO_ZIP
# Exits 77 (skipped) when the engine was not built, except in CI.
set -euo pipefail
tool=$1
engine="$(dirname "$tool")/ZipEngine190.dll"
if [ ! -f "$engine" ]; then
    echo "engine not built: $engine" >&2
    [ "${CI:-}" = "true" ] && exit 1
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# run EXPECTED_STATUS ARGS...: runs the tool with stdin not a terminal.
run() {
    local expected=$1; shift
    local status=0
    "$tool" "$@" </dev/null >"$work/out.txt" 2>"$work/err.txt" || status=$?
    [ "$status" -eq "$expected" ] || { cat "$work/err.txt" >&2; fail "'$*' exited $status, not $expected"; }
}
# readable ARCHIVE: the three readers accept it.
readable() {
    unzip -tq "$1" >/dev/null || fail "unzip -t rejects $1"
    bsdtar -tf "$1" >/dev/null || fail "bsdtar -tf rejects $1"
    python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); bad = z.testzip(); sys.exit(bad is not None)' "$1" \
        || fail "python3's zipfile rejects $1"
}
# names ARCHIVE: its entry names, sorted, each followed by a blank.
names() { python3 -c 'import sys, zipfile; print("".join(n + " " for n in sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$1"; }
# same_as ARCHIVE NAME...: each entry NAME holds the bytes of src/NAME.
same_as() {
    python3 - "$@" <<'PY' || fail "contents of $1 differ from src"
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for name in sys.argv[2:]:
        assert z.read(name) == open("src/" + name, "rb").read(), name
PY
}

cd "$work"
mkdir -p src/dir/sub src/empty
python3 - <<'PY'
import os, random
random.seed(7)
open("src/top.txt", "wb").write(b"top level\n" * 1000)
open("src/dir/sub/deep.bin", "wb").write(bytes(random.getrandbits(8) for _ in range(70000)))
open("src/dir/caf\u00e9.txt".encode(), "wb").write("caf\u00e9 au lait\n".encode() * 50)
open("src/.hidden", "wb").write(b"dot file")
PY

# A new archive, folders kept, everything inside a folder with -r.
(cd src && run 0 add -r ../a.zip top.txt dir empty .hidden)
readable a.zip
[ "$(names a.zip)" = ".hidden dir/ dir/café.txt dir/sub/ dir/sub/deep.bin empty/ top.txt " ] \
    || fail "a.zip holds: $(names a.zip)"
same_as a.zip top.txt dir/sub/deep.bin "dir/café.txt" .hidden
python3 - <<'PY' || fail "a name that is not ASCII is not flagged UTF-8"
import zipfile
info = zipfile.ZipFile("a.zip").getinfo("dir/caf\u00e9.txt")
assert info.flag_bits & 0x800
PY

# -j drops the folders, -0 stores, -9 compresses; the same bytes either way.
(cd src && run 0 add -j -0 ../flat.zip dir/sub/deep.bin top.txt)
readable flat.zip
[ "$(names flat.zip)" = "deep.bin top.txt " ] || fail "flat.zip holds: $(names flat.zip)"
python3 -c 'import zipfile; assert all(i.compress_type == 0 for i in zipfile.ZipFile("flat.zip").infolist())' \
    || fail "-0 compressed"
(cd src && run 0 add -9 ../small.zip top.txt)
[ "$(stat -c %s small.zip)" -lt 1000 ] || fail "-9 did not compress top.txt"

# Adding a name the archive has replaces that entry; a missing file is
# named and the rest still added.
echo "changed" >src/top.txt
(cd src && run 1 add ../a.zip top.txt no-such-file.txt)
grep -q "no-such-file.txt" err.txt || fail "a missing file was not named"
readable a.zip
[ "$(unzip -p a.zip top.txt)" = changed ] || fail "the entry was not replaced"
[ "$(names a.zip | tr ' ' '\n' | grep -c '^top.txt$')" -eq 1 ] || fail "the replaced entry is there twice"

# Encrypted entries open with the password and not without it.
(cd src && run 0 add --password=secret ../enc.zip top.txt)
unzip -tq -P secret enc.zip >/dev/null || fail "unzip cannot read the encrypted entry"
python3 -c 'import zipfile; assert zipfile.ZipFile("enc.zip").read("top.txt", pwd=b"secret") == b"changed\n"' \
    || fail "python3 cannot read the encrypted entry"
unzip -tq -P wrong enc.zip >/dev/null 2>&1 && fail "a wrong password opened the entry"

# Delete: what a spec selects goes; a spec that selects nothing is named.
run 0 delete a.zip 'dir/sub/*'
readable a.zip
names a.zip | grep -q deep.bin && fail "a deleted entry is still there"
names a.zip | grep -q top.txt || fail "delete took an entry it was not asked for"
run 1 delete a.zip top.txt nothing-like-this
grep -q "nothing-like-this: no entry matches" err.txt || fail "an unmatched spec was not named"
names a.zip | grep -q top.txt && fail "top.txt was not deleted"
readable a.zip

# Rename: the entry takes the new name, its bytes unchanged.
run 0 rename a.zip .hidden shown/now.txt
readable a.zip
[ "$(unzip -p a.zip shown/now.txt)" = "dot file" ] || fail "the renamed entry lost its bytes"
names a.zip | grep -q '\.hidden' && fail "the old name is still there"

# Failures leave the archive byte for byte.
cp a.zip before.zip
run 1 rename a.zip no-such-entry x.txt
grep -q "no-such-entry" err.txt || fail "a missing entry was not named"
run 1 rename a.zip shown/now.txt "dir/café.txt"
grep -q "shown/now.txt\|café" err.txt || fail "a rename onto an existing name was not named"
run 2 rename a.zip shown/now.txt ../escaped.txt
grep -q "Invalid Filename" err.txt || fail "a name leaving the archive's folders was not refused"
cmp -s a.zip before.zip || fail "a failed rename changed the archive"
printf 'no archive here%.0s' {1..100} >garbage.zip
cp garbage.zip garbage.before
(cd src && run 2 add ../garbage.zip top.txt)
cmp -s garbage.zip garbage.before || fail "add wrote over a file that is no archive"
run 2 delete missing.zip x
[ ! -e missing.zip ] || fail "delete made an archive"

# An interrupted add leaves the archive as it was and nothing beside it.
head -c 300000000 /dev/zero >big.bin
"$tool" add -9 a.zip big.bin </dev/null >/dev/null 2>err.txt &
pid=$!
sleep 0.5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
    [ "$status" -eq 2 ] || fail "an interrupted add exited $status"
    cmp -s a.zip before.zip || fail "an interrupted add changed the archive"
fi
readable a.zip
ls -A | grep -v -E '^(src|a.zip|before.zip|flat.zip|small.zip|enc.zip|garbage.zip|garbage.before|big.bin|out.txt|err.txt)$' \
    && fail "a stray file was left beside the archive"

# Wrong usage.
for args in "add" "add a.zip" "delete a.zip" "rename a.zip x" "rename a.zip x y z" "add -q a.zip f" \
            "add --password= a.zip f" "delete -r a.zip x"; do
    # shellcheck disable=SC2086
    run 2 $args
done
echo "lunaro-zip add/delete/rename: all checks passed"
