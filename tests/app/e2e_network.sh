#!/bin/bash
# Starts the real server with a newer version and a poll, then the real
# program in a virtual X server with its version check on: the download
# question is answered Yes (the link goes to a stand-in for xdg-open), then
# Misc > Poll opens the poll window, an option is chosen and Vote! pressed,
# and the server's count must have risen by one.
# Usage: e2e_network.sh PATH_TO_MP3VANDREL PATH_TO_MP3VANDREL_SERVER
set -u
exe=$(readlink -f "$1")
server=$(readlink -f "$2")
. "$(dirname "$0")/e2e_lib.sh"

spid=""
stop_server() { [ -n "$spid" ] && kill "$spid" 2>/dev/null; }
trap 'stop_server; cleanup' EXIT

count() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
wait_count() {  # TITLE_REGEX N WHAT
    for _ in $(seq 100); do
        [ "$(count "$1")" -eq "$2" ] && return 0
        sleep 0.1
    done
    fail "expected $2 window(s) titled $1, saw $(count "$1") ($3)"
}
votes() { "$server" poll results --database "$T/poll.db" | awk 'NR > 1 { n += $1 } END { print n + 0 }'; }

mkdir -p "$T/home" "$T/docs" "$T/bin"
printf '1.60\r\n' >"$T/docs/Mp3VandrelVersion.txt"
printf 'http://mp3vandrel.example/download\r\n' >"$T/docs/DlLink.txt"
"$server" poll new --database "$T/poll.db" "Colour?" red green blue >/dev/null || fail "poll new"
"$server" serve --database "$T/poll.db" --docs "$T/docs" --port 0 >"$T/server.txt" 2>"$T/server.log" &
spid=$!
for _ in $(seq 50); do grep -q "serving on" "$T/server.txt" && break; sleep 0.1; done
port=$(sed -n 's/.*serving on 127.0.0.1:\([0-9]*\).*/\1/p' "$T/server.txt")
[ -n "$port" ] || fail "the server did not start"

# The desktop's link opener, replaced by one that writes down what it got.
printf '#!/bin/sh\necho "$1" >>"%s/opened.txt"\n' "$T" >"$T/bin/xdg-open"
chmod +x "$T/bin/xdg-open"
printf '[MAIN]\r\nVersionCheck=1\r\nServer=127.0.0.1:%s\r\n' "$port" >"$T/home/Mp3Vandrel.ini"

cd "$T" || exit 1
PATH="$T/bin:$PATH" MP3VANDREL_HOME="$T/home" "$exe" >"$T/out.txt" 2>"$T/err.txt" &
pid=$!
# The download question comes before the main window.
wait_count '^Mp3 Vandrel$' 1 "the download question"
xdotool key y
for _ in $(seq 50); do [ -s "$T/opened.txt" ] && break; sleep 0.1; done
grep -q '^http://mp3vandrel.example/download$' "$T/opened.txt" 2>/dev/null ||
    fail "the download link was not opened"
grep -q 'GET "/DlLink.txt" 200' "$T/server.log" || fail "the link was not asked for"
wait_count '^Mp3 Vandrel$' 1 "the main window"

before=$(votes)
# Misc (the eighth menu) > Poll.
xdotool key alt
sleep 0.3
xdotool key Right Right Right Right Right Right Right Return
sleep 0.3
xdotool key Down Return
wait_count '^Poll form$' 1 "the poll window"
poll=$(xdotool search --onlyvisible --name '^Poll form$' | head -1)
# The first option sits at the top of the radio group, Vote! below it.
for y in 24 30 36; do xdotool mousemove --window "$poll" 24 "$y" click 1; sleep 0.1; done
xdotool mousemove --window "$poll" 50 204 click 1
wait_count '^Mp3 Vandrel$' 2 "the vote's message"
xdotool key Return
wait_count '^Mp3 Vandrel$' 1 "the message closed"
after=$(votes)
[ "$after" -eq $((before + 1)) ] || fail "votes went from $before to $after"

xdotool key Escape
wait_count '^Poll form$' 0 "the poll window closed"
exit_through_file_menu
echo "PASS"
