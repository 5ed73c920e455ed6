# shellcheck shell=bash
# Globals (pid, status, veltra, source) are shared with the sourcing script.
# shellcheck disable=SC2034,SC2154
# Shared by the window program's end-to-end tests, which source it: the X
# server, starting the program, finding its windows, reading them back.
#
# The sourcing script calls `in_x_server "$@"` first: it re-runs the script
# inside Xvfb, or exits 77 (skipped) when Xvfb or the X tools are missing.

in_x_server() {
    [ "${1:-}" = "--inside" ] && return 0
    local tool
    for tool in xvfb-run xauth xdotool xclip import convert; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
    # -noreset: by default the server starts over whenever its last client
    # leaves, which is between any two programs of a test, and a program that
    # connects meanwhile is refused.
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp -noreset" bash "$0" --inside "$@"
}

failures=0
passes=0

# The arguments every test takes after in_x_server's: the program, an empty
# work folder (made afresh) and the project's sources. Sets veltra, work and
# source.
take_arguments() {
    veltra="$1"
    work="$2"
    source="$3"
    rm -rf "$work"
    mkdir -p "$work"
}

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

at_least() {
    [ "$1" -ge "$2" ]
}

# Starts the program ($veltra, set by the sourcing script) in a folder, with
# the arguments that follow; sets pid. Under AddressSanitizer, strict
# string checks stay off for it: libxkbcommon-x11 copies names out of X
# replies with strndup, which reads the unterminated reply buffer by design.
# The program loads no GL driver: Qt's xcb platform would load and unload one
# to probe for GLX, and the driver's leaks would end the run under
# LeakSanitizer. Widgets draw without GL.
start_veltra() {
    local folder="$1"
    shift
    local asan_options="${ASAN_OPTIONS:-}"
    [ -n "$asan_options" ] && asan_options="$asan_options:strict_string_checks=0"
    (cd "$folder" && ASAN_OPTIONS="$asan_options" QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none \
        exec "${veltra:?}" "$@") &
    pid=$!
}

# The program's first visible window whose title matches a pattern; empty
# when none appears within a minute. Searched afresh each time, not with
# --sync: a window closed while xdotool reads it ends that search with an X
# error, as when a dialog closes and the next one opens.
find_window() {
    local found="" deadline=$((SECONDS + 60))
    while [ -z "$found" ] && [ "$SECONDS" -lt "$deadline" ]; do
        found="$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1 || true)"
        [ -n "$found" ] || sleep 0.2
    done
    echo "$found"
}

# The GL drivers the program has loaded (libGL itself is only a dispatcher).
gl_drivers() {
    grep -oE '[^ ]*(_dri\.so|libGLX_|libEGL_)[^ ]*' "/proc/$pid/maps" 2>/dev/null | sort -u || true
}

# The text of the log window, as its user would copy it: a click into the
# text, select all, copy, and the clipboard read back.
log_text() {
    local window="$1" WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
    xdotool windowfocus --sync "$window" || true
    xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 3)) click 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard
}

# Presses a key in a window.
press() {
    xdotool windowfocus --sync "$1" || true
    sleep 0.5
    xdotool key --clearmodifiers "$2"
}

# Presses a key in a window and waits for the program; sets status.
press_and_wait() {
    local window="$1" key="$2"
    xdotool windowfocus --sync "$window" || true
    sleep 0.5
    xdotool key --clearmodifiers "$key"
    status=""
    for _ in $(seq 1 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            break
        fi
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        stop_veltra
        status="still running"
        return
    fi
    status=0
    wait "$pid" || status=$?
}

stop_veltra() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
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

# Keeps a screenshot in docs/ when VELTRA_KEEP_SCREENSHOT=1.
keep_screenshot() {
    local shot="$1" name="$2"
    if [ "${VELTRA_KEEP_SCREENSHOT:-}" = "1" ]; then
        mkdir -p "$source/docs"
        cp "$shot" "$source/docs/$name"
        echo "screenshot kept as $source/docs/$name"
    fi
}

finish() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
