# Shared by the end-to-end scripts, sourced after `set -u` with the script's
# arguments: skips without the X tools, re-runs the script inside Xvfb, and
# gives a temporary folder $T (removed at exit, with the program $pid ended),
# fail MESSAGE, exit_through_file_menu, wait_for_main_window and
# answer KEY [TITLE] [TEXT].
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
if [ -z "${MV_E2E_IN_XVFB:-}" ]; then
    MV_E2E_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

T=$(mktemp -d /tmp/mve2e.XXXXXX)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT
# MV_E2E_SHOT=FILE.png keeps a screenshot of the failing moment.
fail() {
    echo "FAIL: $*"
    [ -n "${MV_E2E_SHOT:-}" ] && import -window root "$MV_E2E_SHOT" 2>/dev/null
    echo "--- program's standard error:"
    cat "$T/err.txt" 2>/dev/null
    exit 1
}

# File > Exit, then the program must end with status 0.
exit_through_file_menu() {
    xdotool key alt
    sleep 0.3
    xdotool key Return
    sleep 0.3
    xdotool key Return
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program is still running after File > Exit"
    wait "$pid"
    local rc=$?
    pid=""
    [ "$rc" -eq 0 ] || fail "exit status $rc"
}

# The main window's id (the script sets it once the window is up); boxes are
# told from it and from the last box answered by their window ids.
main_window=""
last_box=none
step=1
# Waits for the next box titled TITLE (default: the program's caption), then
# types TEXT (if any) and presses KEY in it.
answer() {  # KEY [TITLE] [TEXT_TO_TYPE]
    local title=${2:-Mp3 Vandrel} id=""
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | grep -vx "$main_window" |
            grep -vx "$last_box" | head -1)
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "no box titled '$title' came (step $step)"
    sleep 0.2
    if [ -n "${3:-}" ]; then xdotool type --delay 30 "$3"; fi
    # A chord in one go loses its modifier on Xvfb's keymap: press it apart.
    case $1 in
    alt+?) xdotool keydown alt key "${1#alt+}" keyup alt ;;
    *) xdotool key "$1" ;;
    esac
    last_box=$id
    step=$((step + 1))
}

# Waits for the main window, sets main_window to its id, and gives it a
# moment to be placed and laid out.
wait_for_main_window() {
    for _ in $(seq 100); do
        main_window=$(xdotool search --onlyvisible --name '^Mp3 Vandrel$' 2>/dev/null | head -1)
        [ -n "$main_window" ] && break
        sleep 0.1
    done
    [ -n "$main_window" ] || fail "the main window did not appear"
    sleep 1.5
}
