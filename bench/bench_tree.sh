# Shared by the tree benchmarks (sourced, not run): their settings, a machine whose
# C: holds a generated tree of FOLDERS folders and FILES empty files (made once per
# WORK_DIR and size), and timing helpers. Expects here= and the default work folder
# in default_work= before it is sourced; takes [BUILD_DIR] [WORK_DIR] from "$@".

build=$(cd "${1:-$here/../build}" && pwd)
work=${2:-$default_work}
runs=${RUNS:-3}
folders=${FOLDERS:-100000}
files=${FILES:-900000}
cli=$build/korvex-cli
maker=$build/bench/bench_tree_make
machine=$work/machine
tree=$machine/drive_c

for tool in "$cli" "$maker" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (build korvex-cli and bench_tree_make; apt-get install time)" >&2; exit 1; }
done

if [ ! -f "$work/.made-$folders-$files" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    "$cli" --machine "$machine" init >/dev/null
    "$maker" "$tree/tree" "$folders" "$files" >/dev/null
    touch "$work/.made-$folders-$files"
fi

# One timed run of "$@": "elapsed cpu peak-kB" (cpu = user + system), from time(1);
# the command's output goes to $timed_out (default /dev/null).
timed() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/.time" "$@" >"${timed_out:-/dev/null}" 2>&1
    awk '{ printf "%s %.2f %d\n", $1, $2 + $3, $4 }' "$work/.time"
}

# Best of $runs runs (by elapsed time) of "$@", each after the command in $before
# (if set): "elapsed cpu peak-kB".
best() {
    b=
    i=0
    while [ "$i" -lt "$runs" ]; do
        [ -z "${before:-}" ] || $before
        r=$(timed "$@")
        if [ -z "$b" ] || [ "$(echo "${r%% *} < ${b%% *}" | bc -l)" = 1 ]; then b=$r; fi
        i=$((i + 1))
    done
    echo "$b"
}
