#!/bin/sh
# Uninstalling a found installation of 100,000 files in 1,000 folders (one new folder
# of drive C:, as Find changes saves it) with korvex-cli under delete modes 1 and 0,
# against rm -rf and gio trash of the same tree in the same run, each on a fresh copy
# (best of RUNS). An uninstall passes its own flags to the shell, which send the items
# to the Trash under both modes; the permanent delete of Delete selected with Shift is
# timed as well, against rm -rf. Aim: at most 1.5 x each.
#
#   bench/uninstall.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, /tmp/korvex-bench-uninstall; RUNS=3 FOLDERS=1000 FILES=100000)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
work=${2:-/tmp/korvex-bench-uninstall}
runs=${RUNS:-3}
folders=${FOLDERS:-1000}
files=${FILES:-100000}
cli=$build/korvex-cli
maker=$build/bench/bench_tree_make
remover=$build/bench/bench_remove_tree
for tool in "$cli" "$maker" "$remover" /usr/bin/gio; do
    [ -x "$tool" ] || { echo "missing $tool" >&2; exit 1; }
done

machine=$work/machine
app=$machine/drive_c/BigApp
export XDG_DATA_HOME=$work/data
if [ ! -f "$work/.made-$folders-$files" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    "$cli" --machine "$machine" init >/dev/null
    "$maker" "$work/template" "$folders" "$files" >/dev/null
    touch "$work/.made-$folders-$files"
fi
kvu=$machine/drive_c/users/bigapp.kvu

# A fresh copy of the installation and its saved data file; an empty Trash.
reset() {
    rm -rf "$app" "$XDG_DATA_HOME"
    mkdir -p "$XDG_DATA_HOME"
    cp -a "$work/template" "$app"
    printf 'Files{\r\nC:\\BigApp\r\n}\r\nRegistry{\r\n}\r\nWin.ini{\r\n}\r\nSystem.ini{\r\n}\r\nAutoexec.bat{\r\n}\r\nConfig.sys{\r\n}\r\n' >"$kvu"
    sync
}
deleteMode() { sed -i "s/^\"DeleteMode\"=\"[0-9]*\"/\"DeleteMode\"=\"$1\"/" "$machine/user.reg"; }

# Elapsed seconds of "$@", to the millisecond.
timed() {
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    t1=$(date +%s%N)
    echo "scale=3; ($t1 - $t0) / 1000000000" | bc -l
}
ratio() { echo "scale=2; $1 / $2" | bc -l; }
best() {
    b=
    i=0
    while [ "$i" -lt "$runs" ]; do
        reset
        r=$(timed "$@")
        if [ -z "$b" ] || [ "$(echo "$r < $b" | bc -l)" = 1 ]; then b=$r; fi
        i=$((i + 1))
    done
    echo "$b"
}

"$cli" --machine "$machine" info >/dev/null 2>&1
deleteMode 1
t_mode1=$(best "$cli" --machine "$machine" --yes uninstall 'C:\users\bigapp.kvu')
t_perm=$(best "$remover" "$machine" 'C:\BigApp')
deleteMode 0
t_mode0=$(best "$cli" --machine "$machine" --yes uninstall 'C:\users\bigapp.kvu')
t_rm=$(best rm -rf "$app")
t_gio=$(best gio trash "$app")
rm -rf "$app" "$XDG_DATA_HOME"

printf 'tree: %s files in %s folders; best of %s; load %s on %s processors\n' "$files" "$folders" "$runs" \
    "$(cut -d' ' -f1 /proc/loadavg)" "$(nproc)"
printf 'rm -rf                              %6s s\n' "$t_rm"
printf 'gio trash                           %6s s\n' "$t_gio"
printf 'korvex-cli uninstall, delete mode 1 %6s s  (%s x gio trash, %s x rm -rf)\n' "$t_mode1" \
    "$(ratio "$t_mode1" "$t_gio")" "$(ratio "$t_mode1" "$t_rm")"
printf 'korvex-cli uninstall, delete mode 0 %6s s  (%s x gio trash)\n' "$t_mode0" "$(ratio "$t_mode0" "$t_gio")"
printf 'permanent delete (Shift)            %6s s  (%s x rm -rf)\n' "$t_perm" "$(ratio "$t_perm" "$t_rm")"
