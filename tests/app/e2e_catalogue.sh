#!/bin/bash
# Starts the real program in a virtual X server with two folders given as its
# drives (a CD-ROM drive and a hard disk) and runs the walkthrough with keys:
# two CDs are catalogued in turn (the second "inserted" by changing what the
# CD folder holds). In the list editor a title is corrected, a title found by
# the search is removed, a folder found by the search is deleted, and the list
# is saved. The hard disk is compared with the list, and "Delete all" removes
# the disk's copies of songs that are still on the CDs. Then it checks the
# bytes of Mp3List.txt and the files left on the disk.
# Usage: e2e_catalogue.sh PATH_TO_MP3VANDREL
set -u
exe=$(readlink -f "$1")
. "$(dirname "$0")/e2e_lib.sh"

mkdir -p "$T/home" "$T/cd/Rock" "$T/disk/music" "$T/cd2/Jazz"
printf 'x' >"$T/cd/Rock/Band - Song One.mp3"
printf 'x' >"$T/cd/Other Tune.mp3"
printf 'x' >"$T/cd/Zed Extra.mp3"
mkdir -p "$T/cd2/Live"
printf 'x' >"$T/cd2/Jazz/Blue Train.mp3"
printf 'x' >"$T/cd2/Live/Crowd Noise.mp3"
printf 'disk' >"$T/disk/music/band song one.mp3"
printf 'disk' >"$T/disk/music/blue_train.mp3"
printf 'disk' >"$T/disk/music/Unique Tune.mp3"
printf 'disk' >"$T/disk/music/zed extra.mp3"
printf 'disk' >"$T/disk/music/crowd noise.mp3"
# A settings file without the version check: no first-start question, no network.
printf '[MAIN]\r\nVersionCheck=0\r\n' >"$T/home/Mp3Vandrel.ini"

cd "$T" || exit 1
MP3VANDREL_HOME="$T/home" MP3VANDREL_DRIVES="cdrom=$T/cd;fixed=$T/disk" \
    "$exe" >"$T/out.txt" 2>"$T/err.txt" &
pid=$!
wait_for_main_window

# HELP > Walktrough (HELP is the last menu: Left from File wraps to it).
xdotool key alt
sleep 0.3
xdotool key Left Return
sleep 0.3
xdotool key Return

answer Return                  # what the tour does
answer Return                  # Yes: I have burned CDs (the only CD-ROM drive is taken)
answer Return                  # OK: a CD is in
answer Return                  # the scan is about to run
answer Return                  # the files were found
answer Return "CD Name" "Disc 1"
# The next disc goes in.
mv "$T/cd/Rock" "$T/cd/Other Tune.mp3" "$T/cd/Zed Extra.mp3" "$T/cd2/" &&
    mv "$T/cd2/Jazz" "$T/cd2/Live" "$T/cd/" ||
    fail "could not change the disc"
answer Return                  # OK: another CD is in
answer Return
answer Return
answer Return "CD Name" "Disc 2"
answer Escape                  # Cancel: no more CDs
answer Return                  # congratulations; the list editor opens
# The list editor: the first CD's title is corrected, a title and a folder
# are found by the search and taken out, then the editor closes and the
# changes are saved (Yes, its key y).
answer Down "List Stats"       # the tree goes from the list's root to Disc 1
sleep 0.3
xdotool key Tab                # the titles: the first becomes current and fills the edit box
sleep 0.3
xdotool key Tab Tab ctrl+a
xdotool type --delay 30 "Other Tune Live.mp3"
xdotool key Return             # OK writes the edit box into the title
sleep 0.3
editor=$(xdotool search --onlyvisible --name '^List Stats$' | head -1)
# The search runs the main window's comparison, which ends by giving the main
# window the focus; the editor is then taken up again with the found title
# current in its list of titles.
search_in_editor() {  # TEXT
    xdotool key ctrl+a
    xdotool type --delay 30 "$1"
    xdotool key Tab Tab space  # past OK to Search
    sleep 1
    xdotool windowraise "$editor" windowfocus --sync "$editor"
    sleep 0.3
}
search_in_editor "zed extra"
# back past the tree and the Export, Import and Rename CD row to "Remove selected title(s)"
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
sleep 0.3
xdotool key Tab Tab Tab Tab Tab Tab Tab    # round to the edit box
search_in_editor "crowd noise"
xdotool key Tab space          # "Delete selected Item": the folder the search opened
sleep 0.3
xdotool key Escape             # close; the list was changed, so the save question comes
answer y
answer Return                  # Yes: check the hard disk (its only drive is taken)
answer Return                  # the comparison is about to run
answer Return                  # Comparison finished
answer Return                  # what to do with the rows
answer Return                  # the end of the tour

expected=$(printf '%s\r\n' '\Mp3 List' '\Disc 1' 'Other Tune Live.mp3' '/Rock' 'Band Song One.mp3' '..' \
    '\Disc 2' '/Jazz' 'Blue Train.mp3' '..')
[ "$(cat "$T/home/Mp3List.txt")" = "$expected" ] ||
    fail "Mp3List.txt is not the two CDs: $(cat -A "$T/home/Mp3List.txt")"

# Compare results > Delete all, confirmed with Yes (its key, y).
sleep 0.5
xdotool key alt
sleep 0.3
xdotool key Right Right Right Return
sleep 0.3
xdotool key Down Down Return
answer y
sleep 0.5
[ -e "$T/disk/music/band song one.mp3" ] && fail "the disk's copy of a CD song is still there"
[ -e "$T/disk/music/blue_train.mp3" ] && fail "the disk's copy of the second CD's song is still there"
[ -e "$T/disk/music/Unique Tune.mp3" ] || fail "a song on no CD was deleted"
[ -e "$T/disk/music/zed extra.mp3" ] || fail "a song whose title was removed from the list was deleted"
[ -e "$T/disk/music/crowd noise.mp3" ] || fail "a song of a deleted folder was deleted"
[ -e "$T/cd/Jazz/Blue Train.mp3" ] || fail "a file of the CD was touched"

exit_through_file_menu
echo "PASS"
