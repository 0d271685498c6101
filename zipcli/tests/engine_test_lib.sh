# Sourced by the tests of lunaro-zip's commands that need the engine:
# checks that the engine was built beside the tool (exit 77, skipped, when
# not, except in CI), makes the scratch folder $work (removed on exit) and
# defines fail and run. Expects $tool.
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
