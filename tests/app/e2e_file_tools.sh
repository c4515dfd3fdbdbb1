#!/bin/bash
# Starts the real program in a virtual X server on a folder of real MP3 files
# and works with the mouse and keys: a tag is edited in the tag panel, Rename
# All renames the folder and its subfolder after the tags, the ban list gets
# an entry in its editor, the scan finds the banned file and "Delete all"
# deletes it. Then it checks the files on disk, and that Mp3List.txt is byte
# for byte what it was.
# Usage: e2e_file_tools.sh PATH_TO_MP3VANDREL
set -u
exe=$(readlink -f "$1")
. "$(dirname "$0")/e2e_lib.sh"
command -v lame >/dev/null || { echo "SKIPPED: lame is not installed"; exit 77; }
command -v sox >/dev/null || { echo "SKIPPED: sox is not installed"; exit 77; }

# A point of the main window's client area, in its design coordinates: the
# window stands at its design place (98, 93), its menu bar 18 pixels high.
click() {  # X Y [BUTTON]
    xdotool mousemove $((98 + $1)) $((111 + $2)) click "${3:-1}"
    sleep 0.4
}
menu() {  # RIGHTS DOWNS: the menu RIGHTS to the right of File, its item below DOWNS
    xdotool key alt
    sleep 0.3
    for _ in $(seq "$1"); do xdotool key Right; done
    xdotool key Return
    sleep 0.3
    for _ in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
}

mkdir -p "$T/home" "$T/music/sub"
sox -n -r 44100 -c 1 "$T/tone.wav" synth 0.2 sine 440 2>/dev/null || fail "sox failed"
lame --quiet --id3v1-only --tt "Old Title" --ta "Band" "$T/tone.wav" "$T/music/a.mp3" &&
    lame --quiet --id3v1-only --tt "Song Two" --ta "Other" "$T/tone.wav" "$T/music/sub/b.mp3" &&
    lame --quiet "$T/tone.wav" "$T/music/Hit Karaoke.mp3" || fail "lame failed"
# The catalogue must come through untouched: odd bytes and a last line without an end.
printf '\\Mp3 List\r\n\\CD1\r\nHit Karaoke.mp3\r\nCaf\xe9.mp3' >"$T/home/Mp3List.txt"
cp "$T/home/Mp3List.txt" "$T/list-before"
# The list's 4 lines as the settings know them: no warning that it changed.
printf '[MAIN]\r\nVersionCheck=0\r\nListCount=4\r\n' >"$T/home/Mp3Vandrel.ini"

cd "$T/music" || exit 1
MP3VANDREL_HOME="$T/home" MP3VANDREL_DRIVES="fixed=$T/music" \
    "$exe" >"$T/out.txt" 2>"$T/err.txt" &
pid=$!
wait_for_main_window

# The tag panel: a right click on a.mp3 (the file list's first row) opens it;
# the title is replaced and saved.
click 244 32 3
click 360 66                   # eTitle, inside the panel over the file list
xdotool key ctrl+a
xdotool type --delay 30 "New Title"
click 308 212                  # Save
title=$(tail -c 125 "$T/music/a.mp3" | head -c 9)
[ "$title" = "New Title" ] || fail "the tag was not saved: '$title'"

# Rename All with the default model, subfolders included (Yes, its key y).
click 440 8
answer Return "Naming model"
answer y
answer alt+r "Rename All"      # the table of what it will do: Rename
answer Return                  # "2 files renamed." and the file without a tag
sleep 0.5
[ -e "$T/music/Band - New Title.Mp3" ] || fail "a.mp3 was not renamed: $(ls "$T/music")"
[ -e "$T/music/sub/Other - Song Two.Mp3" ] || fail "sub/b.mp3 was not renamed: $(ls "$T/music/sub")"
[ -e "$T/music/Hit Karaoke.mp3" ] || fail "a file without a tag was renamed"

# BanList > Edit my ban list: one entry, saved when the editor closes.
xdotool mousemove $((98 + 120)) $((111 + 32)) click --repeat 2 --delay 80 1
sleep 0.5                      # a double click opens the music folder again
menu 5 0
answer Escape "Edit your banlist" "karaoke"
sleep 0.5
printf '\\BANLIST\r\nkaraoke\r\n' >"$T/ban-expected"
cmp -s "$T/home/BanList.txt" "$T/ban-expected" || fail "BanList.txt: $(cat -A "$T/home/BanList.txt")"

# BanList > Scan, then Compare results > Delete all (Yes, y).
menu 5 1
answer Return                  # Comparison finished
sleep 0.3
menu 3 2
answer y
sleep 0.5
[ -e "$T/music/Hit Karaoke.mp3" ] && fail "the banned file is still there"
[ -e "$T/music/Band - New Title.Mp3" ] || fail "a file the ban list does not name was deleted"
cmp -s "$T/home/Mp3List.txt" "$T/list-before" || fail "Mp3List.txt changed"
grep -q "deleted	[0-9]*	$T/music/Hit Karaoke.mp3\$" "$T/home/DeletedFiles.log" ||
    fail "the deletion was not logged: $(cat "$T/home/DeletedFiles.log" 2>&1)"

exit_through_file_menu
echo "PASS"
