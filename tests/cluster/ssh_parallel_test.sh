#!/usr/bin/env bash
# The cross-machine GNU parallel recipe of docs/clusters.md against a real
# sshd on 127.0.0.1: two "machines" (node1, node2) are two ports of one
# sshd started here, each session of a port in a mount namespace of its
# own where the data folder is that machine's folder. So a file really
# travels there with rsync, is converted there, comes back, and is removed
# there, without touching the data folder this side sees.
# usage: ssh_parallel_test.sh MAVIK_CONVERT DATA_DIR
# Exit 77 (skipped) when it cannot run here: not root, or no sshd, rsync,
# GNU parallel or unshare.
set -uo pipefail

convert=$1
samples=$(cd "$2" && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root, to start sshd and make mount namespaces"
[ -x /usr/sbin/sshd ] || skip "no /usr/sbin/sshd (Debian package openssh-server)"
for tool in ssh ssh-keygen rsync parallel unshare python3; do
    command -v $tool >/dev/null || skip "no $tool"
done
unshare --mount --propagation private true 2>/dev/null || skip "mount namespaces cannot be made here"

work=$(mktemp -d)
sshd_pid=
cleanup() {
    [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null
    if [ -n "${MAVIK_KEEP_WORK:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
cd "$work"

CHECK_SAYS_OK=1
# shellcheck source=../check.sh
source "$(dirname "$0")/../check.sh"

# Two spare ports on the loopback address.
read -r port1 port2 < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')

# The machines: mavik-convert on their PATH, each its own view of data/.
mkdir -p bin tables data/cdr node1 node2 /run/sshd
ln -s "$convert" bin/mavik-convert
cp "$samples"/codetables/*-* tables/
cat >node.sh <<EOF
#!/bin/bash
# The forced command of a port: the session runs as on machine \$1.
[ -n "\${SSH_ORIGINAL_COMMAND:-}" ] || exit 1
exec unshare --mount --propagation private bash -c \\
    'mount --bind "\$0" "\$1" && export PATH="\$2:\$PATH" && exec bash -c "\$SSH_ORIGINAL_COMMAND"' \\
    "$work/\$1" "$work/data" "$work/bin"
EOF
chmod +x node.sh

ssh-keygen -q -t ed25519 -N '' -f host_key
ssh-keygen -q -t ed25519 -N '' -f user_key
cp user_key.pub authorized_keys
cat >sshd_config <<EOF
ListenAddress 127.0.0.1
Port $port1
Port $port2
HostKey $work/host_key
PidFile $work/sshd.pid
AuthorizedKeysFile $work/authorized_keys
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
Subsystem sftp internal-sftp
KexAlgorithms curve25519-sha256
Match LocalPort $port1
    ForceCommand $work/node.sh node1
Match LocalPort $port2
    ForceCommand $work/node.sh node2
EOF
cat >ssh_config <<EOF
Host node1 node2
    HostName 127.0.0.1
    User root
    IdentityFile $work/user_key
    IdentitiesOnly yes
    BatchMode yes
    StrictHostKeyChecking no
    UserKnownHostsFile $work/known_hosts
    LogLevel ERROR
    # The cheapest key exchange of both ends: parallel opens several
    # connections per file, and the test machine's 2 cores are shared.
    KexAlgorithms curve25519-sha256
Host node1
    Port $port1
Host node2
    Port $port2
EOF
/usr/sbin/sshd -f sshd_config -E "$work/sshd.log" || { cat sshd.log; skip "sshd did not start"; }
for _ in $(seq 50); do
    [ -s sshd.pid ] && break
    sleep 0.1
done
sshd_pid=$(cat sshd.pid 2>/dev/null)
[ -n "$sshd_pid" ] || { cat sshd.log; skip "sshd did not start"; }
# GNU parallel takes its ssh command from PARALLEL_SSH (rsync gets it too),
# so the recipe's own lines run unchanged.
export PARALLEL_SSH="ssh -F $work/ssh_config"
export PATH=$work/bin:$PATH  # ":" in --sshlogin is this machine
check "node1 answers, on its own view of the data folder" \
    [ "$($PARALLEL_SSH node1 "touch $work/data/seen; echo \$PATH")" != "" ]
check "... which is not this side's" [ -e node1/seen ] && [ ! -e data/seen ] && rm node1/seen

# Inputs: every sample and the head of each. (No blank in the names: GNU
# parallel 20221122 quotes a --return name with a blank once too often for
# rsync 3.2.7, and it does not come back; docs/clusters.md says so.)
for f in "$samples"/samples/*.cdr; do
    name=$(basename "$f" .cdr)
    cp "$f" "data/cdr/$name.cdr"
    head -c 4096 "$f" >"data/cdr/$name-head.cdr"
done
count=$(ls data/cdr | wc -l)
mavik-convert -q -T tables -d expected data/cdr/*.cdr

# One file fails wherever it runs: its output name is taken by a folder.
bad="$(basename "$(ls data/cdr/*.cdr | head -n 1)" .cdr)"
for side in data node1 node2; do mkdir -p "$side/cdr/$bad.txt"; done

# The recipe, with data/ and tables/ for /data and /opt/mavik/tables.
recipe() {
    ls "$work"/data/cdr/*.cdr | parallel --will-cite --sshlogin 8/node1,8/node2,: "$@" \
        --transferfile {} --return {.}.txt --cleanup \
        --joblog "$work/convert.log" \
        mavik-convert -q -T "$work/tables" {} {.}.txt
}
recipe 2>recipe.err
status=$?
check "the first run fails for one file (exit $status)" [ "$status" -eq 1 ]
check "... the job log holds every file once" [ "$(tail -n +2 convert.log | wc -l)" -eq "$count" ]
failed=$(tail -n +2 convert.log | awk -F'\t' '$7 != 0' | wc -l)
check "... one of them failed" [ "$failed" -eq 1 ]
for host in node1 node2 :; do
    check "... $host converted some" [ "$(tail -n +2 convert.log | awk -F'\t' -v h="$host" '$2 == h' | wc -l)" -gt 0 ]
done

# The failure mended; the same command with --resume-failed redoes it alone.
for side in data node1 node2; do rm -rf "${side:?}/cdr/$bad.txt"; done
# An output put back again is a new file (a new inode), so the others must keep theirs.
outputs() { stat -c '%n %i %y' "$work"/data/cdr/*.txt | grep -vF "/$bad.txt "; }
before=$(outputs)
recipe --resume-failed 2>>recipe.err
status=$?
check "the run with --resume-failed succeeds" [ "$status" -eq 0 ]
check "... adding one line to the job log" [ "$(tail -n +2 convert.log | wc -l)" -eq $((count + 1)) ]
check "... for the file that failed" bash -c "tail -n 1 '$work/convert.log' | grep -qF '$bad.cdr'"
check "... and no other output touched" [ "$(outputs)" = "$before" ]

check "every output, as -d makes it" [ "$(ls data/cdr/*.txt | wc -l)" -eq "$count" ]
for f in expected/*.txt; do
    out="data/cdr/$(basename "$f")"
    check "... $(basename "$f") the same bytes" cmp -s "$f" "$out"
done
for node in node1 node2; do
    left=$(find "$node" -type f | head -n 5)
    check "no file left on $node${left:+: $left}" [ -z "$left" ]
done
check "no temporary of mavik-convert anywhere" [ -z "$(find data node1 node2 -name '.*.mavik-*')" ]
if [ "$failures" -ne 0 ]; then
    echo "the job log:"
    cat convert.log
    echo "parallel's stderr:"
    cat recipe.err
fi

checks_done
