#!/bin/sh
# Find changes against Update database on a tree of 1,000,000 entries (100,000
# folders, 900,000 empty files, made by bench_tree_make as for walk_update.sh) on
# drive C: of a fresh machine outside the repository. After a first update, 1% new
# entries are added: 1,000 new folders (100 new top-level folders, each with nested
# sub folders) and 9,000 new files, 4,000 of them in existing folders. Then
# korvex-cli find (the scan database put back before each run, since "AutoUpdateDb"
# refreshes it) and korvex-cli update are timed on the same tree.
# Prints both times (best of RUNS), their ratio and find's peak memory.
# Aim: korvex-cli find <= 1.5 x korvex-cli update.
#
#   bench/find_changes.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, /tmp/korvex-bench-find; RUNS=3 FOLDERS=100000 FILES=900000)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
default_work=/tmp/korvex-bench-find
. "$here/bench_tree.sh"
data=$tree/Program\ Files/Korvex

# Undo the installation of an earlier run.
if [ -f "$work/new-files" ]; then tr '\n' '\0' <"$work/new-files" | xargs -0 rm -f; fi
rm -rf "$tree/tree/New"*

# The snapshot before the installation, kept aside to be put back before each find.
find "$tree" -printf '%f\n' >/dev/null
"$cli" --machine "$machine" update --drives C: >/dev/null 2>&1
rm -rf "$work/saved"
mkdir -p "$work/saved"
cp -p "$data"/*.kvd "$work/saved/"

# The installation: 1% of the entries.
added=$((folders / 100 + files / 100))
new_folders=$((folders / 100))
new_files=$((files / 100))
tops=$((new_folders / 10))
awk -v tops="$tops" -v root="$tree/tree" 'BEGIN {
    for (t = 0; t < tops; t++) {
        p = root "/New App " t
        print p
        # nine more per top folder: three levels of three
        for (i = 0; i < 3; i++) {
            q = p "/Part " i
            print q
            for (j = 0; j < 2; j++) print q "/Sub " j
        }
    }
}' >"$work/new-folders"
tr '\n' '\0' <"$work/new-folders" | xargs -0 mkdir -p
awk -v n="$new_files" -v tops="$tops" -v folders="$folders" -v root="$tree/tree" 'BEGIN {
    old = int(n * 4 / 9)
    for (i = 0; i < old; i++) {
        # an existing folder of the tree maker ("Folder N" below some parent): found below
        print "F\t" (i * 97) % folders "\tnew file " i ".dll"
    }
    for (i = old; i < n; i++) print "N\t" i % tops "\tnew file " i ".dat"
}' >"$work/new-files.plan"
find "$tree/tree" -maxdepth 6 -type d -name 'Folder *' -printf '%f\t%p\n' >"$work/folders.idx"
awk -F'\t' -v root="$tree/tree" '
    NR == FNR { path[$1] = $2; next }
    $1 == "F" { p = path["Folder " $2]; if (p != "") print p "/" $3; next }
    { print root "/New App " $2 "/Part " ($3 ~ /[02468].dat$/ ? 0 : 1) "/" $3 }
' "$work/folders.idx" "$work/new-files.plan" >"$work/new-files"
tr '\n' '\0' <"$work/new-files" | xargs -0 touch
made=$(($(wc -l <"$work/new-folders") + $(wc -l <"$work/new-files")))

restore() { cp -p "$work/saved/"*.kvd "$data/"; }

before=restore timed_out=$work/.out
r_find=$(best "$cli" --machine "$machine" find --drives C:)
before= timed_out=
found=$(sed -n 's/^Files and folders added (\([0-9]*\)).*/\1/p' "$work/.out")
r_update=$(best "$cli" --machine "$machine" update --drives C:)
load=$(cut -d' ' -f1 /proc/loadavg)
entries=$(find "$tree" -mindepth 1 | wc -l)

set -- $r_find
f_el=$1 f_cpu=$2 f_kb=$3
set -- $r_update
u_el=$1 u_cpu=$2
printf 'entries below C:\\                %s (%s of them new: %s folders, %s files)\n' "$entries" "$made" \
    "$(wc -l <"$work/new-folders")" "$(wc -l <"$work/new-files")"
printf 'rows found (new folders + files in old folders)  %s\n' "$found"
printf 'load average during the runs     %s (on %s processors)\n' "$load" "$(nproc)"
printf 'korvex-cli find, best of %s      %s s elapsed, %s s cpu, peak %.1f MB\n' "$runs" "$f_el" "$f_cpu" \
    "$(echo "$f_kb / 1024" | bc -l)"
printf 'korvex-cli update, best of %s    %s s elapsed, %s s cpu\n' "$runs" "$u_el" "$u_cpu"
printf 'ratio find / update              %.2f elapsed, %.2f cpu (aim <= 1.5)\n' \
    "$(echo "$f_el / $u_el" | bc -l)" "$(echo "$f_cpu / $u_cpu" | bc -l)"
