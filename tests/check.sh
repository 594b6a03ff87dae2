# Sourced by the shell tests. check DESCRIPTION COMMAND... runs COMMAND and
# counts a pass, or says FAIL with the description and counts a failure;
# with CHECK_SAYS_OK set, a pass is said too. The test ends with
# checks_done, which prints the counts and gives the status.
failures=0
passes=0
check() {
    local what=$1
    shift
    if "$@"; then
        passes=$((passes + 1))
        [ -z "${CHECK_SAYS_OK:-}" ] || echo "ok: $what"
    else
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}
checks_done() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
