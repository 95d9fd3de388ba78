#!/bin/sh
# Kills korvex-cli uninstall with SIGKILL at random moments and checks after each kill
# that both registry files still load (korvex-cli info succeeds) and that running the
# same uninstall again finishes the job: the installation's files, keys and win.ini
# lines are all gone.
#
# usage: tests/removal/kill_uninstall.sh [KORVEX_CLI] [TRIALS]
set -eu

CLI=${1:-build/korvex-cli}
TRIALS=${2:-50}
CLI=$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")
WORK=$(mktemp -d /tmp/korvex-kill.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export XDG_DATA_HOME="$WORK/data"

T="$WORK/template"
"$CLI" --machine "$T" init >/dev/null 2>&1
"$CLI" --machine "$T" update >/dev/null 2>&1

# The installation: 20 folders of 100 files, keys in both hives, two win.ini lines.
i=0
while [ $i -lt 20 ]; do
    d="$T/drive_c/Program Files/BigApp/part$i"
    mkdir -p "$d"
    j=0
    while [ $j -lt 100 ]; do printf 'data %s %s\n' $i $j >"$d/f$j.dat"; j=$((j + 1)); done
    printf '\n[Software\\\\BigVendor\\\\BigApp\\\\Part%s] 1700000000\n"v"=dword:%08x\n' $i $i >>"$T/system.reg"
    printf '\n[Software\\\\BigVendor\\\\BigApp\\\\Part%s] 1700000000\n"v"="%s"\n' $i $i >>"$T/user.reg"
    i=$((i + 1))
done
printf '[BigApp]\r\nload=bigapp.exe\r\n' >>"$T/drive_c/windows/win.ini"
"$CLI" --machine "$T" find --save 'C:\users\bigapp.kvu' >/dev/null 2>&1

# How long one whole uninstall takes, to spread the kills over it.
cp -a "$T" "$WORK/timing"
start=$(date +%s%N)
"$CLI" --machine "$WORK/timing" --yes uninstall 'C:\users\bigapp.kvu' >/dev/null 2>&1
span=$((($(date +%s%N) - start) / 1000000))
rm -rf "$WORK/timing"
echo "one uninstall takes ${span} ms; $TRIALS trials"

failures=0 killedMidway=0 trial=1
while [ $trial -le "$TRIALS" ]; do
    M="$WORK/m"
    rm -rf "$M"
    cp -a "$T" "$M"
    delay=$(awk -v s="$span" -v seed="$trial$$" 'BEGIN { srand(seed); printf "%.3f", rand() * s * 1.2 / 1000 }')
    "$CLI" --machine "$M" --yes uninstall 'C:\users\bigapp.kvu' >/dev/null 2>&1 &
    pid=$!
    sleep "$delay"
    if kill -9 "$pid" 2>/dev/null; then killedMidway=$((killedMidway + 1)); fi
    wait "$pid" 2>/dev/null || true

    ok=1
    if ! "$CLI" --machine "$M" info >/dev/null 2>&1; then
        echo "trial $trial (kill after ${delay}s): the registry files do not load"
        ok=0
    fi
    if [ -f "$M/drive_c/users/bigapp.kvu" ]; then
        if ! "$CLI" --machine "$M" --yes uninstall 'C:\users\bigapp.kvu' >"$WORK/out" 2>&1; then
            echo "trial $trial (kill after ${delay}s): the second uninstall did not finish:"
            cat "$WORK/out"
            ok=0
        fi
    fi
    if [ -e "$M/drive_c/Program Files/BigApp" ] || grep -q 'BigVendor' "$M/system.reg" "$M/user.reg" ||
        grep -q 'bigapp.exe' "$M/drive_c/windows/win.ini" || [ -e "$M/drive_c/users/bigapp.kvu" ]; then
        echo "trial $trial (kill after ${delay}s): something of the installation is left"
        ok=0
    fi
    [ $ok -eq 1 ] || failures=$((failures + 1))
    trial=$((trial + 1))
done
echo "$TRIALS trials, $killedMidway killed while running, $failures failed"
[ "$failures" -eq 0 ]
