#!/bin/sh
# The duplicate finder with the default rules (same size, same date and time, empty
# files and the Sysbckup folder skipped) on generated drives of FILES files in
# FILES/10 folders (bench_duplicates make: names shared by thousands of files, most
# names four times), each on drive C: of a fresh machine outside the repository:
#   - korvex-cli duplicates, the whole scan, on each size of SIZES (growth);
#   - fdupes -r on the same tree, where it is installed (it compares contents, so its
#     job is not the same; it is the usual tool for the question);
#   - the walk and the matching apart, and the matching against the plain passes
#     (folders x lines) on the trees of PLAIN_SIZES, small enough for them to end.
# Times are best of RUNS; "cpu" is user + system time, which a loaded machine
# disturbs less than the elapsed time. fdupes takes many minutes on the larger drives:
# it runs FDUPES_RUNS times on the sizes of FDUPES_SIZES, each run cut off after
# FDUPES_TIMEOUT seconds (then its time is shown as at least that).
#
#   bench/duplicates.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, /tmp/korvex-bench-dupes; RUNS=3 SIZES="100000 200000 300000 500000"
#    FDUPES_RUNS=1 FDUPES_SIZES=$SIZES FDUPES_TIMEOUT=1800 PLAIN_SIZES="5000 10000 20000")
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
work=${2:-/tmp/korvex-bench-dupes}
runs=${RUNS:-3}
fdupes_runs=${FDUPES_RUNS:-1}
fdupes_sizes=${FDUPES_SIZES:-$sizes}
fdupes_timeout=${FDUPES_TIMEOUT:-1800}
sizes=${SIZES:-100000 200000 300000 500000}
plain_sizes=${PLAIN_SIZES:-5000 10000 20000}
cli=$build/korvex-cli
tool=$build/bench/bench_duplicates
for t in "$cli" "$tool" /usr/bin/time; do
    [ -x "$t" ] || { echo "missing $t (build korvex-cli and bench_duplicates; apt-get install time)" >&2; exit 1; }
done

# The machine with a tree of $1 files in $1/10 folders, made once per WORK_DIR.
machine() {
    m=$work/$1/machine
    if [ ! -f "$work/$1/.made" ]; then
        rm -rf "$work/$1"
        mkdir -p "$work/$1"
        "$cli" --machine "$m" init >/dev/null
        "$tool" make "$m/drive_c/tree" "$(($1 / 10))" "$1" >/dev/null
        touch "$work/$1/.made"
    fi
    echo "$m"
}

# Best of $1 runs of the rest: "elapsed cpu peak-kB".
best() {
    n=$1
    shift
    b=
    i=0
    while [ "$i" -lt "$n" ]; do
        /usr/bin/time -f '%e %U %S %M' -o "$work/.time" "$@" >"$work/.out" 2>/dev/null || true
        # time(1) puts "Command exited with non-zero status N" first when it did.
        r=$(tail -n 1 "$work/.time" | awk '{ printf "%s %.2f %d\n", $1, $2 + $3, $4 }')
        if [ -z "$b" ] || [ "$(echo "${r%% *} < ${b%% *}" | bc -l)" = 1 ]; then b=$r; fi
        i=$((i + 1))
    done
    echo "$b"
}

mkdir -p "$work"
fdupes=$(command -v fdupes || true)
[ -z "$fdupes" ] || echo "fdupes: $($fdupes --version)"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
echo
echo "files    folders  korvex-cli duplicates (elapsed cpu MB, rows)    fdupes -r (elapsed cpu MB, sets)"
for n in $sizes; do
    m=$(machine "$n")
    find "$m/drive_c" >/dev/null  # warm the caches for both
    k=$(best "$runs" "$cli" --machine "$m" duplicates --drives C:)
    rows=$(grep '^Total files:' "$work/.out" | cut -d: -f2)
    sets="-"
    ft="not run"
    if [ -z "$fdupes" ]; then
        ft="not installed"
    elif echo " $fdupes_sizes " | grep -q " $n "; then
        f=$(best "$fdupes_runs" timeout "$fdupes_timeout" "$fdupes" -r "$m/drive_c/tree")
        sets=$(grep -c '^$' "$work/.out" || true)
        set -- $f
        if [ "$(echo "$1 >= $fdupes_timeout" | bc -l)" = 1 ]; then
            ft="over $fdupes_timeout s (cut off)"
            sets="-"
        else
            ft="$1 s  $2 s  $(($3 / 1024)) MB"
        fi
    fi
    set -- $k
    kt="$1 s  $2 s  $(($3 / 1024)) MB"
    printf '%-8s %-8s %-40s %-8s %s (%s)\n' "$n" "$((n / 10))" "$kt" "$rows" "$ft" "$sets"
done
echo
for n in $sizes; do
    echo "$n files, in one process:"
    "$tool" match "$(machine "$n")" | sed 's/^/  /'
done
echo
for n in $plain_sizes; do
    echo "$n files ($((n / 10)) folders), grouped against plain:"
    "$tool" match "$(machine "$n")" plain | sed 's/^/  /'
done
