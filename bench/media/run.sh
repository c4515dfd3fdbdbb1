#!/bin/sh
# The facts figures of bench/media/README.md, each the median of 7 runs of a
# whole process (plain shell timing; any whole-process timer will do):
#   bench/media/run.sh [--bin DIR] [--work DIR]
set -eu
bin=build/bin
work=/tmp/mv-facts-bench
while [ $# -gt 0 ]; do
    case "$1" in
        --bin) bin=$2; shift ;;
        --work) work=$2; shift ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
here=$(dirname "$0")
[ -d "$work/set" ] || python3 "$here/make_facts_set.py" "$work" --files 10000 --big 256

median() {  # LABEL COMMAND...: the median wall time of 7 runs after one warm-up
    label=$1; shift
    "$@" >/dev/null 2>&1 || true
    for _ in 1 2 3 4 5 6 7; do
        start=$(date +%s%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s%N)
        echo $(( (end - start) / 1000000 ))
    done | sort -n | sed -n 4p | { read -r ms; printf '%-44s %6s ms\n' "$label" "$ms"; }
}

cold() { rm -f "$work"/cache.sqlite*; "$bin/mv-bench-facts" --cache "$work/cache.sqlite" "$work/set"; }
median "10,000 files, hashed, cache made anew" cold
"$bin/mv-bench-facts" --cache "$work/cache.sqlite" "$work/set" >/dev/null
median "10,000 files, hashed, from the cache" "$bin/mv-bench-facts" --cache "$work/cache.sqlite" "$work/set"
median "10,000 files, hashed, no cache" "$bin/mv-bench-facts" "$work/set"
median "10,000 files, facts only, no cache" "$bin/mv-bench-facts" --hash none "$work/set"
median "floor: stat + 4 KiB read of each" "$bin/mv-bench-read-floor" "$work/set"
median "hash 256 MiB, one thread" "$bin/mv-bench-facts" --threads 1 "$work/big1.mp3"
median "xxhsum -H2 of the same file" xxhsum -H2 "$work/big1.mp3"
median "hash 2 x 256 MiB, two threads" "$bin/mv-bench-facts" --threads 2 "$work/big1.mp3" "$work/big2.mp3"
both() { xxhsum -H2 "$work/big1.mp3" & xxhsum -H2 "$work/big2.mp3"; wait; }
median "two xxhsum -H2 at once" both
