#!/bin/sh
# The figures of bench/sound/README.md, each the median of 3 runs of a whole
# process after one warm-up (plain shell timing; any whole-process timer will do):
#   bench/sound/run.sh [--bin DIR] [--work DIR] [--recordings N] [--seconds S]
#                      [--spliced N]
# The set is N recordings (60% melodies, 40% speech) of S seconds (30 unless
# told) in the corpus's six encodings, so 6 N files; made once under the work
# folder (remove its set/ to make another).
# --spliced N times the search on N files of 30 s spliced from the set's
# pieces by splice_corpus.py instead (made once under the work folder's
# spliced/): one cold run that fills the cache, then 3 warm ones, each with
# its wall time and peak RSS.
set -eu
bin=build/bin
work=/tmp/mv-sound-bench
recordings=167
seconds=30
spliced=0
while [ $# -gt 0 ]; do
    case "$1" in
        --bin) bin=$2; shift ;;
        --work) work=$2; shift ;;
        --recordings) recordings=$2; shift ;;
        --seconds) seconds=$2; shift ;;
        --spliced) spliced=$2; shift ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
here=$(dirname "$0")
melodies=$((recordings * 6 / 10))
if [ ! -d "$work/set" ]; then
    python3 "$here/../../tests/support/core/make_sound_corpus.py" "$work/set" --seconds "$seconds" \
        --melodies "$melodies" --speech $((recordings - melodies)) --seed 3
fi

if [ "$spliced" -gt 0 ]; then
    big=$work/spliced
    if [ ! -d "$big/files" ]; then
        python3 "$here/splice_corpus.py" "$big" "$work/set" --files "$spliced"
    fi
    timed() {  # LABEL NICENESS: one search over the spliced files, wall s and peak RSS
        /usr/bin/time -f "$1 %e s %M KB" env XDG_CACHE_HOME="$big/xdg" nice -n "$2" \
            "$bin/mp3vandrel-cli" dupes --by sound "$big/files" 2>&1 >"$big/pairs.txt" | tail -1
    }
    [ -f "$big/xdg/mp3vandrel/facts.sqlite" ] || timed "$spliced files: cold" 10
    for run in 1 2 3; do timed "$spliced files: warm $run" 0; done
    echo "$(wc -l <"$big/pairs.txt") pairs; copies made: $(find "$big/files" -name '*_b.mp3' | wc -l)"
    exit 0
fi
files=$(find "$work/set" -name '*.mp3' | wc -l)

median() {  # LABEL COMMAND...: the median wall time of 3 runs after one warm-up
    label=$1; shift
    "$@" >/dev/null 2>&1 || true
    for _ in 1 2 3; do
        start=$(date +%s%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s%N)
        echo $(( (end - start) / 1000000 ))
    done | sort -n | sed -n 2p | { read -r ms; printf '%-52s %7s ms\n' "$label" "$ms"; }
}

# One fpcalc per file: given several, it stops at the first that ends with a
# decoder complaint (which lame's files draw at their last frame).
fpcalc_both() { find "$work/set" -name '*.mp3' -print0 | xargs -0 -P 2 -n 1 fpcalc -raw -length 120; }
cold() { rm -rf "$work/xdg"; XDG_CACHE_HOME="$work/xdg" "$bin/mp3vandrel-cli" dupes --by sound "$work/set"; }
warm() { XDG_CACHE_HOME="$work/xdg" "$bin/mp3vandrel-cli" dupes --by sound "$work/set"; }

median "$files files: print, two threads" "$bin/mv-bench-print" --threads 2 "$work/set"
median "$files files: fpcalc -raw -length 120, two at once" fpcalc_both
median "$files files: print, one thread" "$bin/mv-bench-print" --threads 1 "$work/set"
median "$files files: dupes --by sound, cache made anew" cold
warm >/dev/null 2>&1
median "$files files: dupes --by sound, from the cache" warm
