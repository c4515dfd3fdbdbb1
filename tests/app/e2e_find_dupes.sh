#!/bin/bash
# Starts the real program in a virtual X server with an empty program folder,
# finds the duplicates of a small tree with keys, deletes the smaller copies,
# exits through the File menu, then checks the files on disk and the files the
# program wrote. Usage: e2e_find_dupes.sh PATH_TO_MP3VANDREL
set -u
exe=$(readlink -f "$1")
. "$(dirname "$0")/e2e_lib.sh"

# Visible top-level windows titled exactly "Mp3 Vandrel" (the main window, boxes).
windows() { xdotool search --onlyvisible --name '^Mp3 Vandrel$' 2>/dev/null | wc -l; }
wait_windows() {  # N: wait until N such windows are shown
    for _ in $(seq 100); do
        [ "$(windows)" -eq "$1" ] && return 0
        sleep 0.1
    done
    fail "expected $1 window(s) titled 'Mp3 Vandrel', saw $(windows) ($2)"
}
# Opens a row of the folder list by typing its text: rows are indented two
# blanks per level below the drive root.
open_folder() {  # DEPTH NAME
    xdotool type --delay 40 "$(printf '%*s' $(($1 * 2)) '')$2"
    xdotool key Return
    sleep 0.6  # past the list's type-ahead interval
}

mkdir -p "$T/home" "$T/music/a" "$T/music/b"
small="$T/music/a/The Band - Song One.mp3"
big="$T/music/b/the band song one.mp3"
unique="$T/music/b/Unique Tune.mp3"
printf 'ID3small' >"$small"
head -c 4000 /dev/zero >"$big"
printf 'ID3' >"$unique"
# The last playlist names the copy about to be deleted and the unique file.
printf '%s\r\n%s\r\n%s\r\n%s\r\n' "Song One" "$small" "Unique Tune" "$unique" >"$T/home/LastList.txt"
printf '[MAIN]\r\nShuffle=1\r\nLastWindow=kept\r\n' >"$T/home/Mp3Vandrel.ini"

cd "$T" || exit 1
MP3VANDREL_HOME="$T/home" "$exe" >"$T/out.txt" 2>"$T/err.txt" &
pid=$!
wait_windows 1 "start-up"
win=$(xdotool search --onlyvisible --name '^Mp3 Vandrel$' | head -1)

# The browser starts at the root of the drive; walk down to the tree.
xdotool mousemove --window "$win" 60 60 click 1
sleep 0.6
open_folder 1 tmp
open_folder 2 "$(basename "$T")"
open_folder 3 music

# Dupes > Find dupes in the folder by its shortcut; "key ctrl+f" in one go
# loses the modifier on Xvfb's keymap.
xdotool keydown ctrl key f keyup ctrl
wait_windows 2 "the box at the end of the comparison"
xdotool key Return
wait_windows 1 "the box closed"

# Compare results > Delete all. A stray Enter answers No: nothing is deleted.
delete_all() {
    xdotool key alt
    sleep 0.3
    xdotool key Right Right Right Return
    sleep 0.3
    xdotool key Down Down Return
    wait_windows 2 "the question before deleting"
}
delete_all
xdotool key Return
wait_windows 1 "the question answered"
[ -e "$small" ] || fail "Enter on the delete question deleted a file"

# Again, confirmed with Yes (its key, y).
delete_all
xdotool key y
wait_windows 1 "the question answered"

exit_through_file_menu

[ -e "$small" ] && fail "the smaller copy was not deleted"
[ -e "$big" ] || fail "the larger copy is gone"
[ -e "$unique" ] || fail "a file without a duplicate is gone"

expected=$(printf '%s\r\n%s\r\n' "Unique Tune" "$unique")
[ "$(cat "$T/home/LastList.txt")" = "$expected" ] ||
    fail "LastList.txt is not the purged playlist: $(cat -A "$T/home/LastList.txt")"

ini="$T/home/Mp3Vandrel.ini"
for line in '[MAIN]' 'Shuffle=1' 'RecCompare=1' 'Percentage=80' 'Extension=Mp3' 'ListCount=0' \
    'Server=localhost:8080' 'LastWindow=kept' '[EQUALIZER]' 'Bar08=0'; do
    grep -qxF "$line"$'\r' "$ini" || fail "Mp3Vandrel.ini lacks the line $line: $(cat -A "$ini")"
done
echo "PASS"
