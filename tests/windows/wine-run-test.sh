#!/usr/bin/env bash
# wine-run.sh against a stand-in for wine that plays a given list of
# outcomes, one a start: only Wine's transport failures are started again.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/wine" <<'FAKE'
#!/usr/bin/env bash
read -r -a plan <"$PLAN"
printf '%s\n' "${plan[@]:1}" | paste -sd' ' >"$PLAN"
echo x >>"$PLAN.starts"
case ${plan[0]} in
    transport) echo "wine client error:10c: recvmsg: Connection reset by peer" >&2; exit 1 ;;
    real) echo "mavik-convert: Cannot open file ebcdic-ascii" >&2; exit 2 ;;
    noisy) echo "recvmsg mentioned, run fine" >&2; exit 0 ;;
    ok) exit 0 ;;
esac
FAKE
chmod +x "$work/wine"
wine=$work/wine
source "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh"
export PLAN=$work/plan

failures=0
# plan | status | starts | retries
cases=(
    "ok|0|1|0"
    "transport ok|0|2|1"
    "transport transport transport ok|1|3|2"
    "real transport ok|2|1|0"
    "transport real ok|2|2|1"
    "noisy transport|0|1|0"
)
for row in "${cases[@]}"; do
    IFS='|' read -r plan status starts retries <<<"$row"
    echo "$plan" >"$PLAN"
    rm -f "$PLAN.starts"
    wine_retries=0
    wine_run "$plan" /dev/null "$work/err" program.exe >/dev/null
    got="$?|$(wc -l <"$PLAN.starts")|$wine_retries"
    if [ "$got" != "$status|$starts|$retries" ]; then
        echo "FAIL: $plan: status|starts|retries $got, expected $status|$starts|$retries"
        failures=$((failures + 1))
    fi
done

# A failed case names each side's exit status and its standard error.
echo "Cannot open file x" >"$work/l.err"
printf 'wine: bad\r\n' >"$work/w.err"
said=$(say_failure case "a run failed" Linux 1 "$work/l.err" Windows 3 "$work/w.err")
expected=$'FAIL: case: a run failed\n  Linux: exit 1\n    Cannot open file x\n  Windows: exit 3\n    wine: bad'
if [ "$said" != "$expected" ]; then
    printf 'FAIL: say_failure said\n%s\n' "$said"
    failures=$((failures + 1))
fi
echo "wine-run: ${#cases[@]} plans and the failure text, $failures failed"
[ $failures -eq 0 ]
