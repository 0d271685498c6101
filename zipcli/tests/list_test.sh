#!/usr/bin/env bash
# Checks lunaro-zip list against archives written by python3's zipfile: the
# tab-separated lines match what zipfile reports for every entry, failures
# print the component's message and exit non-zero, usage errors exit 2.
#   usage: list_test.sh PATH_TO_LUNARO_ZIP
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - "$work" <<'PY'
import sys, zipfile
work = sys.argv[1]
with zipfile.ZipFile(work + "/mixed.zip", "w") as z:
    z.writestr(zipfile.ZipInfo("readme.txt"), b"hello " * 50, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo("docs/"), b"")
    z.writestr(zipfile.ZipInfo("docs/guide.txt"), b"stored", zipfile.ZIP_STORED)
    z.writestr(zipfile.ZipInfo("docs/caf\u00e9 \u00fcber.txt"), b"utf-8 flagged")
    z.writestr(zipfile.ZipInfo("tab\there"), b"x")
    z.comment = b"an archive comment"
with open(work + "/expected.tsv", "w", encoding="utf-8") as out:
    for info in zipfile.ZipFile(work + "/mixed.zip").infolist():
        name = info.filename.replace("/", "\\").replace("\t", "?")
        out.write("%s\t%d\t%d\t%08x\t%d\t%d\n" % (name, info.file_size, info.compress_size, info.CRC,
                                                 info.compress_type, info.flag_bits & 1))
with open(work + "/garbage.zip", "wb") as f:
    f.write(b"this is not an archive at all" * 10)
# The last central header loses its name and more: the directory is damaged
# after several good entries.
whole = open(work + "/mixed.zip", "rb").read()
end = whole.rfind(b"PK\x05\x06")
with open(work + "/damaged.zip", "wb") as f:
    f.write(whole[:end - 40] + whole[end:end + 22])
PY

"$tool" list --format=tsv "$work/mixed.zip" >"$work/actual.tsv"
diff -u "$work/expected.tsv" "$work/actual.tsv" || fail "tsv listing differs"

"$tool" list "$work/mixed.zip" >"$work/table.txt"
grep -q "docs\\\\guide.txt" "$work/table.txt" || fail "table lacks a nested name"
grep -q "5 entries" "$work/table.txt" || fail "table lacks its total line"

status=0
"$tool" list "$work/garbage.zip" >/dev/null 2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "a non-archive exited $status"
grep -q "This archive is not a valid Zip archive" "$work/err.txt" || fail "no message for a non-archive"

status=0
"$tool" list --format=tsv "$work/damaged.zip" >"$work/out.txt" 2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "a damaged directory exited $status"
[ ! -s "$work/out.txt" ] || fail "a damaged directory printed a partial listing"
grep -q "Error while reading a central header" "$work/err.txt" || fail "no message for a damaged directory"

status=0
"$tool" list "$work/missing.zip" >/dev/null 2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "a missing archive exited $status"
grep -q "Input file does not exist" "$work/err.txt" || fail "no message for a missing archive"

for args in "" "list" "show $work/mixed.zip" "list --format=xml $work/mixed.zip" "list a.zip b.zip"; do
    status=0
    # shellcheck disable=SC2086
    "$tool" $args >/dev/null 2>&1 || status=$?
    [ "$status" -eq 2 ] || fail "'$args' exited $status, not 2"
done
echo "lunaro-zip list: all checks passed"
