#!/usr/bin/env bash
# The Slurm job-array recipe of docs/clusters.md on a real Slurm: slurmctld
# and slurmd for one node (localhost, CPUs from nproc) from a slurm.conf
# in a temporary folder, munge with a key made here on a private socket.
# Without accounting storage there is no sacct: a task's end state is read
# with `scontrol show job`, which keeps finished jobs for MinJobAge (300 s).
# usage: slurm_array_test.sh MAVIK_CONVERT DATA_DIR
# Exit 77 (skipped) when it cannot run here: not root, Slurm or munge
# missing, or the daemons do not start.
set -uo pipefail

convert=$1
samples=$(cd "$2" && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root, to start slurmctld, slurmd and munged"
for tool in slurmctld slurmd sbatch scontrol scancel sinfo munged python3; do
    command -v $tool >/dev/null || skip "no $tool (Debian packages slurm-wlm and munge)"
done
cpus=$(nproc)
[ "$cpus" -ge 2 ] || skip "the recipe asks for 2 CPUs a task; this machine has $cpus"

work=$(mktemp -d)
chmod 700 "$work"
stop_daemons() {
    # Each daemon by its own pid file, the node first.
    for pidfile in slurmd.pid slurmctld.pid munged.pid; do
        [ -s "$work/$pidfile" ] || continue
        local pid
        pid=$(cat "$work/$pidfile")
        kill "$pid" 2>/dev/null || continue
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    done
}
cleanup() {
    stop_daemons
    if [ -n "${MAVIK_KEEP_WORK:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
cd "$work"

CHECK_SAYS_OK=1
# shellcheck source=../check.sh
source "$(dirname "$0")/../check.sh"
# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS
wait_for() {
    local tenths=$(($1 * 10))
    shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
show_logs() {
    for log in munged.log slurmctld.log slurmd.log; do
        [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; }
    done
}

read -r ctld_port node_port < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')

# munge with a key of this run only, on its own socket.
head -c 1024 /dev/urandom >munge.key
chmod 400 munge.key
munged --key-file="$work/munge.key" --socket="$work/munge.socket" --pid-file="$work/munged.pid" \
    --log-file="$work/munged.log" --seed-file="$work/munged.seed" --force 2>munged.err ||
    { cat munged.err; skip "munged did not start"; }
wait_for 5 test -S munge.socket || { show_logs; skip "munged made no socket"; }

mkdir -p state spool
memory=$(($(awk '/^MemTotal/ { print int($2 / 1024) }' /proc/meminfo) / 2))
cat >slurm.conf <<EOF
ClusterName=mavik-test
SlurmctldHost=localhost(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge.socket
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
ReturnToService=2
SchedulerParameters=sched_interval=1
NodeName=localhost NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=test Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$work/slurm.conf
slurmctld -f "$SLURM_CONF" 2>slurmctld.err || { cat slurmctld.err; show_logs; skip "slurmctld did not start"; }
slurmd -f "$SLURM_CONF" 2>slurmd.err || { cat slurmd.err; show_logs; skip "slurmd did not start"; }
node_idle() { [ "$(sinfo -h -n localhost -o %t 2>/dev/null)" = idle ]; }
wait_for 30 node_idle || { sinfo; show_logs; skip "the node did not come up idle"; }
echo "slurmctld and slurmd up"

# The recipe: convert.sbatch as it stands, with tables/ and txt/ of this
# folder for /shared/mavik/tables and /shared/txt; mavik-convert on PATH.
mkdir -p bin tables cdr logs
ln -s "$convert" bin/mavik-convert
cp "$samples"/codetables/*-* tables/
export PATH=$work/bin:$PATH
cat >convert.sbatch <<EOF
#!/bin/bash
#SBATCH --job-name=mavik-convert
#SBATCH --cpus-per-task=2
#SBATCH --mem=64M
#SBATCH --output=logs/%A_%a.out
input=\$(sed -n "\${SLURM_ARRAY_TASK_ID}p" "\$1")
exec mavik-convert -q -T $work/tables -d $work/txt "\$input"
EOF

for f in "$samples"/samples/*.cdr; do cp "$f" cdr/; done
ln -s gone.cdr cdr/broken.cdr   # a bad file: a link to nothing
ls "$work"/cdr/*.cdr >files.txt
bad_index=$(grep -n broken.cdr files.txt | cut -d: -f1)
tasks=$(wc -l <files.txt)
mavik-convert -q -T tables -d expected $(grep -v broken.cdr files.txt)

start=$SECONDS
job=$(sbatch --parsable --wait --array=1-"$tasks" convert.sbatch files.txt 2>sbatch.err)
status=$?
echo "the array of $tasks tasks ran in $((SECONDS - start)) s"
job=${job%%;*}
check "sbatch --wait tells that a task failed (exit $status)" [ "$status" -ne 0 ] && [ -n "$job" ]
# task_state N: the end state of array task N
task_state() {
    scontrol -o show job "$job" | grep -E "(^| )ArrayTaskId=$1( |$)" | grep -o 'JobState=[A-Z_]*' | cut -d= -f2
}
for i in $(seq "$tasks"); do
    want=COMPLETED
    [ "$i" -eq "$bad_index" ] && want=FAILED
    check "task $i ended $want" [ "$(task_state "$i")" = $want ]
    check "... its log is logs/${job}_$i.out" [ -f "logs/${job}_$i.out" ]
done
check "... the bad task's log says why" grep -q "broken.cdr" "logs/${job}_$bad_index.out"
check "the outputs of the good files" [ "$(ls txt | wc -l)" -eq $((tasks - 1)) ]
for f in expected/*; do
    check "... $(basename "$f") the same bytes as -d's" cmp -s "$f" "txt/$(basename "$f")"
done

# A task cancelled in the middle of its file: scancel sends SIGTERM.
rm -rf txt
truncate -s 4G cdr/big.cdr   # long enough to be caught running
echo "$work/cdr/big.cdr" >big.txt
job=$(sbatch --parsable --array=1-1 convert.sbatch big.txt)
job=${job%%;*}
writing() { [ -n "$(find txt -name '.big.txt.mavik-*' -size +0 2>/dev/null)" ]; }
check "the big task started writing its temporary" wait_for 60 writing
scancel "$job"
ended() { case $(task_state 1) in CANCELLED | COMPLETED | FAILED) return 0 ;; esac; return 1; }
wait_for 60 ended
check "the cancelled task ended CANCELLED" [ "$(task_state 1)" = CANCELLED ]
check "... leaving no output" [ ! -e txt/big.txt ]
check "... and no temporary" [ -z "$(find txt -name '.*mavik-*' 2>/dev/null)" ]
grep -q "CANCELLED" "logs/${job}_1.out" && echo "its log: $(grep CANCELLED "logs/${job}_1.out")"

if [ "$failures" -ne 0 ]; then
    scontrol -o show job
    show_logs
fi
checks_done
