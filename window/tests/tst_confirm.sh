#!/usr/bin/env bash
# The window program given a folder, in a real X server (Xvfb): it asks
# before changing it, its preview changes nothing and asks again, Migrate
# changes it, and "Undo this run" in the log window, once confirmed, takes
# the run back; an undo refused because another process holds the client says so in the
# window. A folder one level off gets the folder probably meant. The window
# class is the one the desktop entry names, and --help needs no display.
#
#   tst_confirm.sh <veltra> <work folder> <source folder>
#
# Screenshots are kept in <work folder>; with VELTRA_KEEP_SCREENSHOT=1 the
# question and the log with its undo offer are copied to docs/.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xsession.sh
. "$(dirname "$0")/xsession.sh"
in_x_server "$@"
shift
take_arguments "$@"

make_client() {
    local alpha="$1/base/characters/Alpha" bravo="$1/base/characters/Bravo"
    mkdir -p "$alpha/emotions" "$bravo"
    printf 'pose' >"$alpha/normal.png"
    printf 'button' >"$alpha/emotions/1.png"
    printf '[Options]\r\nname=Alpha\r\n\r\n[Emotions]\r\nnumber=1\r\n1=normal#-#normal#0#1\r\n' >"$alpha/char.ini"
    printf 'RIFF' >"$bravo/objection.wav"
}
quiet() { "$@" >/dev/null; }
# The tree as a listing of paths and contents, to compare before and after.
tree_of() { (cd "$1" && find . -path ./veltra-journal -prune -o -type f -print -exec cat {} \; | sort); }

client="$work/client"
make_client "$client"
tree_of "$client" >"$work/before.txt"
migrated() { [ -f "$client/base/characters/Alpha/sprites/normal.png" ]; }

check "--help needs no display" quiet env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$veltra" --help
check "--version needs no display" quiet env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$veltra" --version

# Given a folder: the question first.
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
check "the question appears" [ -n "$confirm" ]
if [ -z "$confirm" ]; then
    stop_veltra
    finish
    exit 1
fi
wm_class="$(xprop -id "$confirm" WM_CLASS)"
echo "$wm_class"
desktop_class="$(sed -n 's/^StartupWMClass=//p' "$source/packaging/veltra.desktop")"
check "the desktop entry names the window class ($desktop_class)" \
    grep -qF "\"$desktop_class\"" <<<"${wm_class#*,}"
sleep 0.5
import -window "$confirm" "$work/confirm.png"
keep_screenshot "$work/confirm.png" confirm.png
check "nothing is changed while it asks" [ ! -e "$client/base/characters/Alpha/sprites" ]

# Preview: the dry run's log, nothing changed, and the question again.
press "$confirm" alt+p
window="$(find_window '^nimbo')"
check "Preview shows a log" [ -n "$window" ]
if [ -n "$window" ]; then
    log_text "$window" >"$work/preview.txt"
    check "the preview's log names the characters" grep -q '^Restructuring Alpha\.\.\.$' "$work/preview.txt"
    check "the preview changes nothing" cmp <(tree_of "$client") "$work/before.txt"
    check "the preview keeps no journal" [ ! -e "$client/veltra-journal" ]
    press "$window" Return
fi
confirm="$(find_window '^Migrate this client')"
check "after the preview it asks again" [ -n "$confirm" ]

# Migrate (Return), then undo from the log window.
[ -n "$confirm" ] && press "$confirm" Return
window="$(find_window '^nimbo')"
check "Migrate migrates" migrated
check "its log follows" [ -n "$window" ]
if [ -n "$window" ]; then
    sleep 0.5
    import -window "$window" "$work/undo-offer.png"
    keep_screenshot "$work/undo-offer.png" undo-offer.png
    # Another process holds the client: the undo is refused, and says so.
    flock "$client" sleep 30 &
    holder=$!
    sleep 0.5
    press "$window" alt+u
    question="$(find_window '^Undo this run')"
    check "the undo is asked first" [ -n "$question" ]
    [ -n "$question" ] && press "$question" alt+u
    sleep 1
    window="$(find_window '^nimbo')"
    check "a refused undo shows a window" [ -n "$window" ]
    if [ -n "$window" ]; then
        check "it says another run holds the client" grep -qF "another run or undo is working on" \
            <(log_text "$window")
        check "the run stays as it was" migrated
        press_and_wait "$window" Return
        check "OK then ends the program with exit code 3, as veltra-cli (got $status)" [ "$status" = "3" ]
    fi
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
fi
stop_veltra

# A second run over a fresh copy, this time undone.
rm -rf "$client"
make_client "$client"
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
[ -n "$confirm" ] && press "$confirm" alt+m
window="$(find_window '^nimbo')"
check "Migrate (alt+M) migrates" migrated
if [ -n "$window" ]; then
    press "$window" alt+u
    question="$(find_window '^Undo this run')"
    [ -n "$question" ] && press "$question" alt+u
    sleep 1
    window="$(find_window '^nimbo - undo')"
    check "the undo's log follows" [ -n "$window" ]
    if [ -n "$window" ]; then
        check "the undo went through" grep -qx 'Done!' <(log_text "$window")
        check "the client is as it was" cmp <(tree_of "$client") "$work/before.txt"
        press_and_wait "$window" Return
        check "OK ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
    fi
fi
stop_veltra

# Cancel changes nothing and ends the program.
rm -rf "$client"
make_client "$client"
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
if [ -n "$confirm" ]; then
    press_and_wait "$confirm" Escape
    check "Esc ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
    check "and changes nothing" cmp <(tree_of "$client") "$work/before.txt"
fi
stop_veltra

# One level off: the folder probably meant is offered.
for off in base base/characters base/characters/Alpha; do
    start_veltra "$work" "$client/$off"
    meant="$(find_window '^Is this the client folder')"
    check "$off: the folder probably meant is offered" [ -n "$meant" ]
    if [ "$off" = base ] && [ -n "$meant" ]; then
        import -window "$meant" "$work/meant.png"
        # Choosing another and cancelling the chooser comes back to the question.
        press "$meant" alt+c
        chooser="$(find_window '^Choose the client folder')"
        check "Choose another opens the chooser" [ -n "$chooser" ]
        [ -n "$chooser" ] && press "$chooser" Escape
        meant="$(find_window '^Is this the client folder')"
        check "cancelling it asks about the folder meant again" [ -n "$meant" ]
    fi
    if [ -n "$meant" ]; then
        press "$meant" Return
        confirm="$(find_window '^Migrate this client')"
        check "$off: taking it asks about the client" [ -n "$confirm" ]
        [ -n "$confirm" ] && press_and_wait "$confirm" Escape
        check "$off: nothing is changed" cmp <(tree_of "$client") "$work/before.txt"
    fi
    stop_veltra
done

finish
