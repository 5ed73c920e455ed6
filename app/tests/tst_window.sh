#!/usr/bin/env bash
# The window program as a user meets it, in a real X server (Xvfb): it
# migrates a made-up client, shows the coloured log in its window, and ends
# with exit code 0 when the user presses Return. A client without character
# folders gets a window too, which Return closes the same way.
#
#   tst_window.sh <veltra> <work folder> <source folder>
#
# The screenshot is kept as <work folder>/window.png; with
# VELTRA_KEEP_SCREENSHOT=1 it is also copied to docs/window.png in the source.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    for tool in xvfb-run xauth xdotool import convert; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" --inside "$@"
fi
shift

veltra="$1"
work="$2"
source="$3"
failures=0
passes=0

check() {
    local what="$1"
    shift
    if "$@"; then
        echo "PASS: $what"
        passes=$((passes + 1))
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

# Starts the program in a client folder; sets pid and window. Under
# AddressSanitizer, strict string checks stay off for it: libxkbcommon-x11
# copies names out of X replies with strndup, which reads the unterminated
# reply buffer by design.
start_veltra() {
    local folder="$1"
    local asan_options="${ASAN_OPTIONS:-}"
    [ -n "$asan_options" ] && asan_options="$asan_options:strict_string_checks=0"
    (cd "$folder" && ASAN_OPTIONS="$asan_options" QT_QPA_PLATFORM=xcb exec "$veltra") &
    pid=$!
    window="$(timeout 60 xdotool search --sync --onlyvisible --name '^nimbo' | head -n 1 || true)"
}

# Presses Return in the window and waits for the program; sets status.
press_return_and_wait() {
    xdotool windowfocus --sync "$window" || true
    sleep 0.5
    xdotool key --clearmodifiers Return
    status=""
    for _ in $(seq 1 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            break
        fi
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        status="still running"
        return
    fi
    status=0
    wait "$pid" || status=$?
}

# Number of pixels in an image whose channels are each within a tolerance
# (0-255) of a colour given as #rrggbb. Text is anti-aliased, so only the
# cores of its strokes have the exact colour.
pixels_near() {
    local image="$1" colour="$2" tolerance="$3"
    convert "$image" -alpha off -depth 8 -format %c histogram:info:- | awk \
        -v r=$((16#${colour:1:2})) -v g=$((16#${colour:3:2})) -v b=$((16#${colour:5:2})) -v t="$tolerance" '
        function off(x, y) { return x > y ? x - y : y - x }
        {
            count = $1; sub(":", "", count)
            if (!match($0, /\( *[0-9]+, *[0-9]+, *[0-9]+/)) next
            split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
            if (off(c[1], r) <= t && off(c[2], g) <= t && off(c[3], b) <= t) n += count
        }
        END { print n + 0 }'
}

at_least() {
    [ "$1" -ge "$2" ]
}

rm -rf "$work"
mkdir -p "$work"

# The made-up client: Alpha has a duplicate icon (a warning line), Bravo two
# different icons (an error line); both have files to move.
client="$work/client"
alpha="$client/base/characters/Alpha"
bravo="$client/base/characters/Bravo"
mkdir -p "$alpha/emotions" "$bravo"
printf 'icon' >"$alpha/char_icon.png"
printf 'icon' >"$alpha/actor.png"
printf 'pose' >"$alpha/normal.png"
printf 'button' >"$alpha/emotions/1.png"
printf '[Options]\r\nname=Alpha\r\nshowname=Alpha\r\n\r\n[Emotions]\r\nnumber=1\r\n1=normal#-#normal#0#1\r\n' >"$alpha/char.ini"
printf 'new' >"$bravo/char_icon.png"
printf 'old' >"$bravo/actor.png"
printf 'RIFF' >"$bravo/objection.wav"

start_veltra "$client"
check "the window titled nimbo appears" [ -n "$window" ]
if [ -n "$window" ]; then
    title="$(xdotool getwindowname "$window")"
    echo "window title: $title"
    check "the title starts with the application name" [ "${title%% *}" = "nimbo" ]

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
    if [ "${VELTRA_KEEP_SCREENSHOT:-}" = "1" ]; then
        mkdir -p "$source/docs"
        cp "$shot" "$source/docs/window.png"
        echo "screenshot kept as $source/docs/window.png"
    fi

    press_return_and_wait
    check "Return ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
else
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
fi

# No character folder: the window says so, and closing it ends the program.
empty="$work/empty"
mkdir -p "$empty/base"
start_veltra "$empty"
check "a client without characters gets a window" [ -n "$window" ]
if [ -n "$window" ]; then
    shot="$work/empty.png"
    sleep 1
    import -window "$window" "$shot"
    check "its message is on the dark background" at_least "$(pixels_near "$shot" '#111111' 0)" 20000
    press_return_and_wait
    check "Return ends it with exit code 0 (got $status)" [ "$status" = "0" ]
else
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
