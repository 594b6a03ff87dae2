# Sourced by compare-builds.sh: runs a Windows program under Wine, telling
# Wine's own transport failures apart from the program's, and says how a
# failed case ended.

# What Wine prints when its server drops a starting process: not the
# program's doing, so such a run is started again.
wine_transport_failure='wine client error|recvmsg'
wine_tries=${MAVIK_WINE_TRIES:-3}
wine_retries=0

# wine_run NAME OUT ERR PROGRAM ARGS...: runs PROGRAM under $wine with its
# output in OUT and ERR. A run that failed with Wine's transport failure in
# ERR is started again, up to $wine_tries in all; every other result, a
# failure of the program's own included, is final at once. Returns the
# last run's exit status.
wine_run() {
    local name=$1 out=$2 err=$3 try status
    shift 3
    for ((try = 1; ; try++)); do
        "$wine" "$@" >"$out" 2>"$err"
        status=$?
        if [ $status -eq 0 ] || ! grep -Eq "$wine_transport_failure" "$err" || [ $try -ge "$wine_tries" ]; then
            return $status
        fi
        echo "retry: $name: Wine transport failure (exit $status): $(grep -Em1 "$wine_transport_failure" "$err")"
        wine_retries=$((wine_retries + 1))
    done
}

# say_failure NAME WHAT [SIDE STATUS ERR]...: the FAIL line, then for each
# side its exit status and the first lines of its standard error.
say_failure() {
    echo "FAIL: $1: $2"
    shift 2
    while [ $# -ge 3 ]; do
        echo "  $1: exit $2"
        [ -s "$3" ] && head -n 5 "$3" | tr -d '\r' | sed 's/^/    /'
        shift 3
    done
}
