#!/bin/bash
# Starts the real program in a virtual X server with the sound going to a WAV
# file: adds a folder of two generated songs to the playlist, plays the first
# entry by double-click, pauses and resumes, goes to the next song, switches the
# equalizer on and moves its first slider, exits through the File menu; then
# starts again and finds the playlist and the equalizer as they were.
# Usage: e2e_player.sh PATH_TO_MP3VANDREL
set -u
exe=$(readlink -f "$1")
. "$(dirname "$0")/e2e_lib.sh"
for tool in sox lame; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

main_window() { xdotool search --onlyvisible --name 'Vandrel' 2>/dev/null | head -1; }
wait_title() {  # PATTERN WHAT: wait until the main window's caption matches
    for _ in $(seq 100); do
        local w
        w=$(main_window)
        [ -n "$w" ] && xdotool getwindowname "$w" | grep -q -- "$1" && return 0
        sleep 0.1
    done
    fail "caption never matched '$1' ($2); it is '$(xdotool getwindowname "$(main_window)")'"
}
tone() {  # FILE HERTZ
    sox -n -r 44100 -c 2 "$T/t.wav" synth 3 sine "$2" vol 0.5 2>/dev/null &&
        lame --quiet "$T/t.wav" "$1" || fail "cannot make $1"
}

mkdir -p "$T/home" "$T/music"
# Settings without the version check: no first-start question, no network.
printf '[MAIN]\r\nVersionCheck=0\r\n' >"$T/home/Mp3Vandrel.ini"
tone "$T/music/first.mp3" 440
tone "$T/music/second.mp3" 660
printf '%s\r\n%s\r\n%s\r\n%s\r\n' first.mp3 "$T/music/first.mp3" second.mp3 \
    "$T/music/second.mp3" >"$T/playlist.expected"

start() {
    cd "$T" || exit 1
    MP3VANDREL_HOME="$T/home" MP3VANDREL_AUDIO_OUT="wav:$T/sound.wav" "$exe" \
        >"$T/out.txt" 2>"$T/err.txt" &
    pid=$!
    for _ in $(seq 100); do
        [ -n "$(main_window)" ] && break
        sleep 0.1
    done
    win=$(main_window)
    [ -n "$win" ] || fail "no main window"
}
click() {  # X Y within the window at its design size (804 x 606), COUNT
    xdotool mousemove --window "$win" "$1" "$2" click --repeat "${3:-1}" --delay 80 1
}

start
# Walk the browser down to the songs (rows are indented two blanks per level)
# and add the folder through the Playlist menu.
click 60 60
sleep 0.6
for step in "1 tmp" "2 $(basename "$T")" "3 music"; do
    xdotool type --delay 40 "$(printf '%*s' $((${step%% *} * 2)) '')${step#* }"
    xdotool key Return
    sleep 0.6
done
xdotool key alt
sleep 0.3
xdotool key Right Right Right Right Return
sleep 0.3
xdotool key Return
sleep 0.5
# Double-click the first row of the playlist box.
click 540 48 2
wait_title 'Playing - first.mp3' "double-click on the playlist"
sleep 0.5
[ -s "$T/sound.wav" ] || fail "no sound written"
click 385 297   # Pause
wait_title 'Paused' "Pause"
click 385 297   # Resume
wait_title 'Playing - first.mp3' "Resume"
click 489 323   # -->
wait_title 'Playing - second.mp3' "next song"

# Misc > Equalizer, switch it on, move the first slider up two steps.
xdotool key alt
sleep 0.3
xdotool key Right Right Right Right Right Right Right Return
sleep 0.3
xdotool key Return
for _ in $(seq 50); do
    eq=$(xdotool search --onlyvisible --name '^Equalizer$' 2>/dev/null | head -1)
    [ -n "$eq" ] && break
    sleep 0.1
done
[ -n "$eq" ] || fail "the equalizer window did not open"
xdotool mousemove --window "$eq" 30 14 click 1        # Enable Equalizer
xdotool mousemove --window "$eq" 24 84 click 1 key Up Up  # TrackBar01: two steps up
sleep 0.3
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool mousemove --window "$win" 400 10 click 1
sleep 0.3
exit_through_file_menu

ini="$T/home/Mp3Vandrel.ini"
grep -qxF $'Enabled=1\r' "$ini" || fail "equalizer not saved on: $(cat -A "$ini")"
grep -qxF $'Bar01=-2\r' "$ini" || fail "first slider not saved at -2: $(cat -A "$ini")"
cmp -s "$T/home/LastList.txt" "$T/playlist.expected" ||
    fail "LastList.txt is not the folder's songs: $(cat -A "$T/home/LastList.txt")"

# Again: the same playlist in the box, the equalizer as it was.
start
sleep 1
exit_through_file_menu
grep -qxF $'Bar01=-2\r' "$ini" || fail "the equalizer did not come back: $(cat -A "$ini")"
cmp -s "$T/home/LastList.txt" "$T/playlist.expected" || fail "the playlist did not come back"
grep -v 'XDG_RUNTIME_DIR' "$T/err.txt" | grep -q . && fail "the program complained"
echo "PASS"
