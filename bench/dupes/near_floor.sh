#!/bin/sh
# The duplicate search against the floor: every case timed as a whole process
# with farm-bench, side by side with `find DIR -type f` on the same tree (the
# ratio is taken pair by pair), on collections made by mv-gen-collection.
#
#   bench/dupes/near_floor.sh [--big] [--write] [--runs N] [--bin DIR] [--work DIR]
#
# --big adds 1,000,000 names (about 4 GB of small files and a minute to make).
# --write puts the table into bench/README.md between its near-floor markers.
set -eu
bin=build/bin
work=/tmp/mv-near-floor
runs=7
big=0
write=0
while [ $# -gt 0 ]; do
    case "$1" in
        --big) big=1 ;;
        --write) write=1 ;;
        --runs) runs=$2; shift ;;
        --bin) bin=$2; shift ;;
        --work) work=$2; shift ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
mkdir -p "$work"
# --details reads the facts through their cache: warmed by farm-bench's first
# run, kept under the work folder rather than the user's own.
export XDG_CACHE_HOME="$work/cache"

collection() {  # NAME FILES [TITLES]
    if [ ! -d "$work/$1" ]; then
        if [ $# -ge 3 ]; then
            "$bin/mv-gen-collection" --files "$2" --seed 7 --out "$work/$1" \
                --list "$work/$1.list.txt" --titles "$3" >&2
        else
            "$bin/mv-gen-collection" --files "$2" --seed 7 --out "$work/$1" >&2
        fi
    fi
}

# farm-bench's median of a figure: FIGURE is a line's label ("A wall s", "A/B wall").
median() { awk -v k="$1" 'index($0, k) == 1 { print $(NF - 1) }' "$2"; }

row() {  # WHAT TARGET DIR COMMAND...
    what=$1 target=$2 dir=$3
    shift 3
    out=$work/farm.txt
    farm-bench -n "$runs" --timeout 3600 --vs "${vs:-find $dir -type f}" -- "$@" >"$out" 2>&1
    printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$what" "$(median 'A wall s' "$out")" \
        "$(median 'A cpu s' "$out")" "$(median 'A peak MiB' "$out")" \
        "$(median 'B wall s' "$out")" "$(median 'A/B wall' "$out")" "$target"
}

collection c50k 50000
collection c200k 200000
collection m1 20000 200000
[ "$big" = 1 ] && collection c1m 1000000

table=$work/table.md
{
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg)," \
        "$(nproc) cores, medians of $runs runs, warm file cache:"
    echo
    echo '| case (80%) | wall s | cpu s | peak MiB | find wall s | wall / find | target |'
    echo '|---|---:|---:|---:|---:|---:|---|'
    row 'gathering, 50,000 names' '< 2x find' "$work/c50k" "$bin/mv-bench-gather" "$work/c50k"
    row 'gathering, 200,000 names' '< 2x find' "$work/c200k" "$bin/mv-bench-gather" "$work/c200k"
    [ "$big" = 1 ] && row 'gathering, 1,000,000 names' '< 2x find' "$work/c1m" \
        "$bin/mv-bench-gather" "$work/c1m"
    row 'dupes, 50,000 names' '< 0.2 s' "$work/c50k" "$bin/mp3vandrel-cli" dupes "$work/c50k"
    row 'dupes, 200,000 names' '< 0.8 s, < 200 MiB' "$work/c200k" \
        "$bin/mp3vandrel-cli" dupes "$work/c200k"
    [ "$big" = 1 ] && row 'dupes, 1,000,000 names' '< 6 s, < 1 GiB' "$work/c1m" \
        "$bin/mp3vandrel-cli" dupes "$work/c1m"
    row 'compare, 20,000 files vs 200,000 titles' '< 0.5 s' "$work/m1" \
        "$bin/mp3vandrel-cli" compare --list "$work/m1.list.txt" "$work/m1"
    # The list's kept index is warm from the first run on; the floor is the
    # listing of the folder and one reading of the list.
    vs="sh -c 'find $work/m1 -type f >/dev/null && cat $work/m1.list.txt >/dev/null'"
    row 'compare, same, list index warm, against find + cat list' '< 0.15 s, <= 3x' "$work/m1" \
        "$bin/mp3vandrel-cli" compare --list "$work/m1.list.txt" "$work/m1"
    # Every run finds no index (as after the list changed): builds and keeps it.
    row 'compare, same, first run after the list changed' '< 0.6 s' "$work/m1" \
        sh -c "rm -f '$work/cache/mp3vandrel/list-index-80.bin' &&
            exec '$bin/mp3vandrel-cli' compare --list '$work/m1.list.txt' '$work/m1'"
    vs=
    echo
    echo 'Both files of every row with their facts, against the plain rows (warm facts cache):'
    echo
    echo '| case (80%) | wall s | cpu s | peak MiB | dupes wall s | wall / dupes | target |'
    echo '|---|---:|---:|---:|---:|---:|---|'
    vs="$bin/mp3vandrel-cli dupes $work/c50k"
    row 'dupes --details, 50,000 names' '<= 1.5x dupes' "$work/c50k" \
        "$bin/mp3vandrel-cli" dupes --details "$work/c50k"
    vs=
    echo
    echo 'The window (mv-bench-window, offscreen), 50,000 names:'
    echo
    echo '```'
    QT_QPA_PLATFORM=offscreen "$bin/mv-bench-window" --runs "$runs" "$work/c50k" 2>/dev/null
    echo '```'
} >"$table"
cat "$table"

if [ "$write" = 1 ]; then
    readme=bench/README.md
    awk -v table="$table" '
        /<!-- near-floor:begin -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
        /<!-- near-floor:end -->/ { skip = 0 }
        !skip { print }
    ' "$readme" >"$readme.tmp" && mv "$readme.tmp" "$readme"
fi
