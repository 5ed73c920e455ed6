#!/usr/bin/env bash
# The window program as a user meets it, in a real X server (Xvfb): it
# migrates a made-up client, shows the coloured log in its window (the text
# the headless program prints), and ends with exit code 0 when the user
# presses Return. Started where there is no client, it asks for one: the
# chosen folder is confirmed, then migrated; cancelling the chooser gets a window saying
# where it looked, which Return closes the same way.
#
#   tst_window.sh <veltra> <work folder> <source folder> [<veltra-cli>]
#
# The screenshot is kept as <work folder>/window.png; with
# VELTRA_KEEP_SCREENSHOT=1 it is also copied to docs/window.png in the source.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xsession.sh
. "$(dirname "$0")/xsession.sh"
in_x_server "$@"
shift
take_arguments "$@"
cli="${4:-}"

# The made-up client: Alpha has a duplicate icon (a warning line), Bravo two
# different icons (an error line); both have files to move.
make_client() {
    local alpha="$1/base/characters/Alpha" bravo="$1/base/characters/Bravo"
    mkdir -p "$alpha/emotions" "$bravo"
    printf 'icon' >"$alpha/char_icon.png"
    printf 'icon' >"$alpha/actor.png"
    printf 'pose' >"$alpha/normal.png"
    printf 'button' >"$alpha/emotions/1.png"
    printf '[Options]\r\nname=Alpha\r\nshowname=Alpha\r\n\r\n[Emotions]\r\nnumber=1\r\n1=normal#-#normal#0#1\r\n' \
        >"$alpha/char.ini"
    printf 'new' >"$bravo/char_icon.png"
    printf 'old' >"$bravo/actor.png"
    printf 'RIFF' >"$bravo/objection.wav"
}

client="$work/client"
alpha="$client/base/characters/Alpha"
bravo="$client/base/characters/Bravo"
make_client "$client"
make_client "$work/twin"

start_veltra "$client"
window="$(find_window '^nimbo')"
check "the window titled nimbo appears" [ -n "$window" ]
if [ -n "$window" ]; then
    title="$(xdotool getwindowname "$window")"
    echo "window title: $title"
    check "the title starts with the application name" [ "${title%% *}" = "nimbo" ]
    drivers="$(gl_drivers)"
    check "no GL driver is loaded${drivers:+ (got $drivers)}" [ -z "$drivers" ]

    # The window appears once the walk is done.
    check "Alpha's icon duplicate is deleted" [ ! -e "$alpha/char_icon.png" ]
    check "Alpha's poses moved to sprites" [ -f "$alpha/sprites/normal.png" ]
    check "Alpha's emotions became resources" [ -f "$alpha/resources/1.png" ]
    check "Alpha's description converted" [ -f "$alpha/char.toml" ]
    check "Bravo's differing icons both stay" test -f "$bravo/char_icon.png" -a -f "$bravo/actor.png"
    check "Bravo's shout sound moved" [ -f "$bravo/shouts/sounds/objection.wav" ]

    shot="$work/window.png"
    background=0
    for _ in $(seq 1 25); do
        sleep 0.2
        import -window "$window" "$shot" 2>/dev/null || continue
        background="$(pixels_near "$shot" '#111111' 0)"
        [ "$background" -ge 20000 ] && break
    done
    warning="$(pixels_near "$shot" '#ffc706' 40)"
    error="$(pixels_near "$shot" '#de382b' 40)"
    text="$(pixels_near "$shot" '#eeeeee' 0)"
    echo "pixels: background $background, warning $warning, error $error, text $text"
    check "the log is on the dark background" at_least "$background" 20000
    check "the warning is shown in yellow" at_least "$warning" 20
    check "the error is shown in red" at_least "$error" 20
    check "the plain lines are light grey" at_least "$text" 100
    keep_screenshot "$shot" window.png

    if [ -n "$cli" ]; then
        log_text "$window" >"$work/window.txt"
        (cd "$work/twin" && "$cli" --color=never >"$work/cli.txt") || true
        check "the window shows the headless program's text" cmp "$work/window.txt" "$work/cli.txt"
    fi

    press_and_wait "$window" Return
    check "Return ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
else
    stop_veltra
fi

# A desktop menu starts the program in the home folder: it asks for the
# client, asks before changing the one chosen (Return: Migrate) and migrates it.
home="$work/home"
chosen="$work/chosen"
mkdir -p "$home"
make_client "$chosen"
start_veltra "$home"
chooser="$(find_window '^Choose the client folder, the one that holds base')"
check "outside a client the folder chooser appears" [ -n "$chooser" ]
if [ -n "$chooser" ]; then
    xdotool windowfocus --sync "$chooser" || true
    sleep 0.5
    xdotool type --delay 20 "$chosen"
    xdotool key --clearmodifiers Return
    confirm="$(find_window '^Migrate this client')"
    check "the chosen folder is confirmed first" [ -n "$confirm" ]
    check "nothing is migrated before the answer" [ ! -e "$chosen/base/characters/Alpha/sprites" ]
    [ -n "$confirm" ] && press "$confirm" Return
    window="$(find_window '^nimbo')"
    check "the chosen client is migrated" [ -f "$chosen/base/characters/Alpha/sprites/normal.png" ]
    check "the log window follows" [ -n "$window" ]
    status="no window"
    [ -n "$window" ] && press_and_wait "$window" Return
    check "Return ends it with exit code 0 (got $status)" [ "$status" = "0" ]
fi
stop_veltra

# No character folder and the chooser cancelled: the window says where the
# program looked, and closing it ends the program.
empty="$work/empty"
mkdir -p "$empty/base/characters"
start_veltra "$empty"
chooser="$(find_window '^Choose the client folder')"
check "a client without characters gets the chooser" [ -n "$chooser" ]
if [ -n "$chooser" ]; then
    xdotool windowfocus --sync "$chooser" || true
    sleep 0.5
    xdotool key --clearmodifiers Escape
    window="$(find_window '^nimbo')"
    check "cancelling it gets a window" [ -n "$window" ]
    if [ -n "$window" ]; then
        shot="$work/empty.png"
        sleep 1
        import -window "$window" "$shot"
        check "its message is on the dark background" at_least "$(pixels_near "$shot" '#111111' 0)" 20000
        check "it says where the program looked" \
            [ "$(log_text "$window")" = "No character folders found in $empty/base/characters." ]
        press_and_wait "$window" Return
        check "Return ends it with exit code 0 (got $status)" [ "$status" = "0" ]
    fi
fi
stop_veltra

finish
