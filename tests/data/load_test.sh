#!/usr/bin/env bash
# mavik-convert's CSV loaded into the real sqlite3, a throw-away PostgreSQL
# server and pandas: each must load a row per record, and a checksum of all
# the values must equal one worked out from the raw output of the same file.
# usage: load_test.sh MAVIK_CONVERT
set -uo pipefail

convert=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
# The system python3, which the Debian packages (pandas) are installed for.
python3() { if [ -x /usr/bin/python3 ]; then /usr/bin/python3 "$@"; else command python3 "$@"; fi; }
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
chmod 755 "$work"
pgdata=$work/pg
cleanup() {
    if [ -d "$pgdata" ]; then
        pg_as "$pgbin/pg_ctl" -D "$pgdata" -m immediate stop >/dev/null 2>&1
    fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# shellcheck source=../check.sh
source "$(dirname "$0")/../check.sh"

# 40 blocks of ASCII records: digits, type F, and in the text fields commas,
# quotes, the windows-1251 letters and the one byte it leaves undefined;
# field 13 any four bytes, CR, LF and TAB among them.
python3 "$here/make_records.py" 40 day.cdr || exit 1
records=$((40 * 34))
"$convert" -q -i ascii -o csv day.cdr day.csv 2>err || { cat err >&2; exit 1; }
"$convert" -q -i ascii -r day.cdr day-raw.txt 2>err || { cat err >&2; exit 1; }
want=$(python3 "$here/checksum.py" raw day-raw.txt)
check "the CSV's own values sum as the raw output's" [ "$(python3 "$here/checksum.py" csv day.csv)" = "$want" ]

# The values each tool hands back, one record a line (ordered by block and
# record), fields and records apart by the ASCII unit and record separators.
columns=$(printf 'field%d,' $(seq 1 14))
columns=${columns%,}
order="ORDER BY CAST(block AS INTEGER), CAST(record AS INTEGER)"

# --- sqlite3 ---
if command -v sqlite3 >/dev/null; then
    sqlite3 calls.db ".import --csv day.csv calls" 2>err || cat err >&2
    check "sqlite3: a row per record" [ "$(sqlite3 calls.db 'SELECT count(*) FROM calls')" = "$records" ]
    sqlite3 -separator $'\x1f' -newline $'\x1e' calls.db "SELECT $columns FROM calls $order" >sqlite.out
    check "sqlite3: the values" [ "$(python3 "$here/checksum.py" separated sqlite.out)" = "$want" ]
else
    echo "FAIL: sqlite3 is not installed" >&2
    failures=$((failures + 1))
fi

# --- PostgreSQL 15, its own server on a socket in the work folder ---
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
pg_as() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
if [ -n "$pgbin" ]; then
    mkdir "$pgdata" "$work/sock"
    [ "$(id -u)" -eq 0 ] && chown postgres "$pgdata" "$work/sock" && chmod 644 day.csv
    port=$((20000 + $$ % 20000))
    pg_as "$pgbin/initdb" -D "$pgdata" -A trust -U postgres >pg.log 2>&1 || cat pg.log >&2
    pg_as "$pgbin/pg_ctl" -D "$pgdata" -l "$work/sock/server.log" \
        -o "-p $port -k $work/sock -c listen_addresses=''" -w start >>pg.log 2>&1 || cat pg.log >&2
    psql() { pg_as /usr/bin/psql -X -q -h "$work/sock" -p "$port" -U postgres -d postgres "$@"; }
    defs=$(printf '%s text,' block record $(printf 'field%d ' $(seq 1 14)))
    psql -c "CREATE TABLE calls (${defs%,})" -c "\\copy calls FROM '$work/day.csv' WITH (FORMAT csv, HEADER)" 2>&1
    check "postgresql: a row per record" [ "$(psql -t -A -c 'SELECT count(*) FROM calls')" = "$records" ]
    psql -t -A -F $'\x1f' -R $'\x1e' -c "SELECT $columns FROM calls $order" >pg.out
    check "postgresql: the values" [ "$(python3 "$here/checksum.py" separated pg.out)" = "$want" ]
else
    echo "FAIL: PostgreSQL is not installed" >&2
    failures=$((failures + 1))
fi

# --- pandas ---
if python3 -c 'import pandas' 2>/dev/null; then
    python3 - day.csv >pandas.out <<'PY'
import sys
import pandas as pd
calls = pd.read_csv(sys.argv[1], dtype=str, keep_default_na=False)
print(len(calls))
for row in calls.itertuples(index=False):
    sys.stdout.write("\x1f".join(row[2:]) + "\x1e")
PY
    check "pandas: a row per record" [ "$(head -1 pandas.out)" = "$records" ]
    tail -n +2 pandas.out >pandas.values
    check "pandas: the values" [ "$(python3 "$here/checksum.py" separated pandas.values)" = "$want" ]
else
    echo "FAIL: pandas is not installed" >&2
    failures=$((failures + 1))
fi

checks_done
