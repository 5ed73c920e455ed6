#!/usr/bin/env bash
# The log window of a run asked for, in a real X server (Xvfb): a preview
# says above its log that it changed nothing, and its Changes view filtered
# to warnings and errors lists only those; "Undo this run" asks first,
# Cancel keeps the run, Undo takes it back, and the undo's window names the
# run it took back and holds its change lines.
#
#   tst_runlog.sh <veltra> <work folder> <source folder>
#
# Screenshots are kept in <work folder>; with VELTRA_KEEP_SCREENSHOT=1 the
# Changes view and the undo's log are copied to docs/.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xsession.sh
. "$(dirname "$0")/xsession.sh"
in_x_server "$@"
shift
take_arguments "$@"

# Alpha's emotions cannot become its resources, which exist (an error line);
# Bravo's icon differs from its actor picture (another error line).
make_client() {
    local alpha="$1/base/characters/Alpha" bravo="$1/base/characters/Bravo"
    mkdir -p "$alpha/emotions" "$alpha/resources" "$bravo"
    printf 'pose' >"$alpha/normal.png"
    printf 'button' >"$alpha/emotions/1.png"
    printf 'other' >"$alpha/resources/2.png"
    printf 'icon' >"$bravo/char_icon.png"
    printf 'actor' >"$bravo/actor.png"
    printf 'RIFF' >"$bravo/objection.wav"
}
tree_of() { (cd "$1" && find . -path ./veltra-journal -prune -o -type f -print -exec cat {} \; | sort); }

# The header above the log, copied as the log is.
heading_text() {
    local window="$1"
    xdotool windowfocus --sync "$window" || true
    xdotool mousemove --window "$window" 30 16 click 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard
}

client="$work/client"
make_client "$client"
tree_of "$client" >"$work/before.txt"

# (a) A preview, its Changes view filtered to warnings and errors.
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
[ -n "$confirm" ] && press "$confirm" alt+p
window="$(find_window '^nimbo - preview')"
check "the preview's window says so in its title" [ -n "$window" ]
if [ -n "$window" ]; then
    heading_text "$window" >"$work/preview-heading.txt"
    check "its header says nothing was changed" grep -q '^Preview: nothing was changed\.' "$work/preview-heading.txt"
    log_text "$window" >"$work/preview-log.txt"
    check "the header stays out of the log" grep -qvF 'nothing was changed' "$work/preview-log.txt"
    check "the log is shown first" grep -q '^Restructuring Alpha\.\.\.$' "$work/preview-log.txt"
    press "$window" alt+h
    press "$window" alt+s
    xdotool key --clearmodifiers End
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
    xdotool mousemove --window "$window" $((WIDTH / 2)) 130 click 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard >"$work/problems.tsv"
    cat "$work/problems.tsv"
    sleep 0.5
    import -window "$window" "$work/runlog-changes.png"
    keep_screenshot "$work/runlog-changes.png" runlog-changes.png
    check "an error row is listed" grep -qP '^error\tbase/characters/Alpha/emotions\t' "$work/problems.tsv"
    check "Bravo's icon's error row is listed" grep -qP '^error\tbase/characters/Bravo/char_icon.png\t' "$work/problems.tsv"
    check "only warnings and errors remain" [ -z "$(grep -vP '^(warning|error)\t' "$work/problems.tsv")" ]
    # Save report...: the HTML of `veltra-cli --html --verbose`, then the JSON Lines.
    for kind in html jsonl; do
        press "$window" alt+v
        saving="$(find_window '^Save report')"
        check "Save report asks where ($kind)" [ -n "$saving" ]
        [ -n "$saving" ] || continue
        xdotool key --clearmodifiers ctrl+a
        xdotool type --delay 20 "$work/report.$kind"
        xdotool key --clearmodifiers Return
        sleep 1
    done
    check "the HTML report holds the planned changes" grep -qF '  moved normal.png to sprites/normal.png' \
        "$work/report.html"
    check "the JSON report ends with the summary of a dry run" \
        grep -qF '"dry_run":true' <(tail -n 1 "$work/report.jsonl")
    check "the preview changed nothing" cmp <(tree_of "$client") "$work/before.txt"
fi
stop_veltra

# (b) A run, its undo asked, cancelled, then made.
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
[ -n "$confirm" ] && press "$confirm" Return
window="$(find_window '^nimbo')"
check "the run's log follows" [ -n "$window" ]
if [ -n "$window" ]; then
    sleep 0.5
    import -window "$window" "$work/undo.png"
    keep_screenshot "$work/undo.png" undo.png
    press "$window" alt+u
    question="$(find_window '^Undo this run')"
    check "the undo is asked first" [ -n "$question" ]
    journal="$(basename "$(ls "$client/veltra-journal"/*.jsonl)")"
    [ -n "$question" ] && press "$question" Escape
    sleep 1
    check "Cancel keeps the run" [ -f "$client/base/characters/Alpha/sprites/normal.png" ]
    check "and its log" [ -n "$(find_window '^nimbo')" ]
    press "$window" alt+u
    question="$(find_window '^Undo this run')"
    [ -n "$question" ] && press "$question" alt+u
    window="$(find_window '^nimbo - undo')"
    check "the undo's window follows" [ -n "$window" ]
    if [ -n "$window" ]; then
        check "its header names the run" grep -qF "Undo of the run $journal." <(heading_text "$window")
        log_text "$window" >"$work/undo-log.txt"
        check "its log holds the change lines" \
            grep -qF '  moved base/characters/Alpha/sprites/normal.png to base/characters/Alpha/normal.png' \
            "$work/undo-log.txt"
        import -window "$window" "$work/runlog-undo.png"
        keep_screenshot "$work/runlog-undo.png" runlog-undo.png
        check "the client is as it was" cmp <(tree_of "$client") "$work/before.txt"
        press_and_wait "$window" Return
        check "OK ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
    fi
fi
stop_veltra

finish
