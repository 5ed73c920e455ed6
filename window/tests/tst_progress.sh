#!/usr/bin/env bash
# A long run in the window program, in a real X server (Xvfb): every
# character of a made-up client holds two identical 32 MiB icons, so telling
# them apart takes the walk a while (their digests are computed), which lets
# the progress dialog appear. The icons are sparse files, made in no time and
# holding no disk space. Return leaves the run alone; Esc stops the walk
# after the character in hand, and the log window then shows the log of the
# characters done followed by "Stopped after N of M characters."; the
# characters after N are untouched.
#
#   tst_progress.sh <veltra> <work folder> <source folder>
#
# The dialog's screenshot is kept as <work folder>/progress.png; with
# VELTRA_KEEP_SCREENSHOT=1 it is also copied to docs/progress.png.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xsession.sh
. "$(dirname "$0")/xsession.sh"
in_x_server "$@"
shift
take_arguments "$@"
total=40

characters="$work/client/base/characters"
for i in $(seq -w 1 "$total"); do
    folder="$characters/c$i"
    mkdir -p "$folder/emotions"
    printf '[Options]\r\nname=c%s\r\n\r\n[Emotions]\r\nnumber=1\r\n1=normal#-#normal#0#1\r\n' "$i" >"$folder/char.ini"
    truncate -s 32M "$folder/char_icon.png" "$folder/actor.png"
    printf 'pose' >"$folder/normal.png"
    printf 'button' >"$folder/emotions/1.png"
done

# A character as the walk leaves it, and as it was made above.
migrated() { [ -f "$1/char.toml" ] && [ ! -e "$1/char_icon.png" ] && [ -f "$1/sprites/normal.png" ]; }
untouched() {
    [ ! -e "$1/char.toml" ] && [ -f "$1/char_icon.png" ] && [ -f "$1/normal.png" ] && [ -d "$1/emotions" ] \
        && [ ! -e "$1/sprites" ] && [ ! -e "$1/resources" ]
}

start_veltra "$work/client"
dialog="$(find_window '^Migrating characters')"
check "the progress dialog appears" [ -n "$dialog" ]
if [ -z "$dialog" ]; then
    stop_veltra
    finish
    exit 1
fi
sleep 0.5
shot="$work/progress.png"
import -window "$dialog" "$shot"
keep_screenshot "$shot" progress.png
check "the walk is still running" [ -z "$(xdotool search --all --onlyvisible --pid "$pid" --name '^nimbo' || true)" ]

# Return, meant for another window, must not stop an hour's run: Cancel is
# not the default button. Esc stops it.
xdotool windowfocus --sync "$dialog" || true
xdotool key --clearmodifiers Return
sleep 1
check "Return does not stop the run" \
    [ -z "$(xdotool search --all --onlyvisible --pid "$pid" --name '^nimbo' || true)" ]
xdotool windowfocus --sync "$dialog" || true
xdotool key --clearmodifiers Escape
window="$(find_window '^nimbo')"
check "the log window follows" [ -n "$window" ]
if [ -n "$window" ]; then
    log_text "$window" >"$work/log.txt"
    last="$(tail -n 1 "$work/log.txt")"
    echo "last line: $last"
    done="$(sed -n "s/^Stopped after \([0-9]*\) of $total characters\.\$/\1/p" <<<"$last")"
    check "the log ends with the line saying how far the walk came" [ -n "$done" ]
    done="${done:-0}"
    check "the walk stopped part-way ($done of $total)" [ "$done" -ge 1 -a "$done" -lt "$total" ]
    check "the log holds the characters done" [ "$(grep -c '^Restructuring c[0-9]*\.\.\.$' "$work/log.txt")" = "$done" ]
    count_migrated=0
    count_untouched=0
    for folder in "$characters"/c*; do
        migrated "$folder" && count_migrated=$((count_migrated + 1))
        untouched "$folder" && count_untouched=$((count_untouched + 1))
    done
    check "the characters done are migrated ($count_migrated)" [ "$count_migrated" = "$done" ]
    check "the others are untouched ($count_untouched)" [ "$count_untouched" = "$((total - done))" ]
    check "the first one left is untouched" untouched "$characters/c$(printf '%02d' $((10#$done + 1)))"
    press_and_wait "$window" Return
    check "Return ends the program with exit code 0 (got $status)" [ "$status" = "0" ]
fi
stop_veltra

finish
