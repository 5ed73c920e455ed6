#!/usr/bin/env bash
# The question before a run, choosing what it takes, in a real X server
# (Xvfb): over a client migrated already Return previews, changing nothing and
# keeping no journal; two characters checked out of twenty (through the
# filter and from the keyboard) are the only ones migrated, and the only ones
# the journal names; and "Choose another..." opens the chooser beside the
# folder the user gave, not inside it.
#
#   tst_choose.sh <veltra> <work folder> <source folder>
#
# Screenshots are kept in <work folder>.
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xsession.sh
. "$(dirname "$0")/xsession.sh"
in_x_server "$@"
shift
take_arguments "$@"

names=(Alpha Bravo Charlie Delta Echo Foxtrot Golf Hotel India Juliett Kilo Lima Mike November Oscar Papa
    Quebec Romeo Sierra Tango)
# A client of the first $2 names, each with a pose to move and a description.
make_client() {
    local name folder
    for name in "${names[@]:0:$2}"; do
        folder="$1/base/characters/$name"
        mkdir -p "$folder"
        printf 'pose' >"$folder/normal.png"
        printf '[Options]\r\nname=%s\r\n\r\n[Emotions]\r\nnumber=1\r\n1=normal#-#normal#0#1\r\n' "$name" \
            >"$folder/char.ini"
    done
}
# The tree as a listing of paths and contents, to compare before and after.
tree_of() { (cd "$1" && find . -path ./veltra-journal -prune -o -type f -print -exec cat {} \; | sort); }
journals() { find "$1/veltra-journal" -type f 2>/dev/null | sort; }

# (a) A client migrated already: the question says so, and Return previews.
client="$work/migrated"
make_client "$client" 3
start_veltra "$client" # started in the client: migrated at once
window="$(find_window '^nimbo')"
check "the client is migrated first" [ -f "$client/base/characters/Alpha/sprites/normal.png" ]
[ -n "$window" ] && press_and_wait "$window" Return
tree_of "$client" >"$work/migrated.txt"
journals "$client" >"$work/journals.txt"
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
check "it is asked about" [ -n "$confirm" ]
if [ -n "$confirm" ]; then
    sleep 0.5
    import -window "$confirm" "$work/all-migrated.png"
    press "$confirm" Return
    window="$(find_window '^nimbo')"
    check "Return previews: a log" [ -n "$window" ]
    check "the preview changes nothing" cmp <(tree_of "$client") "$work/migrated.txt"
    check "and keeps no journal" cmp <(journals "$client") "$work/journals.txt"
    if [ -n "$window" ]; then
        press "$window" Return
        confirm="$(find_window '^Migrate this client')"
        check "after the preview it asks again" [ -n "$confirm" ]
        [ -n "$confirm" ] && press_and_wait "$confirm" Escape
        check "Esc then ends the program (got $status)" [ "$status" = "0" ]
    fi
fi
stop_veltra

# (b) Two characters chosen out of twenty: Kilo through the filter, Romeo
# from the keyboard in the list.
client="$work/twenty"
make_client "$client" 20
tree_of "$client" >"$work/twenty.txt"
start_veltra "$work" "$client"
confirm="$(find_window '^Migrate this client')"
if [ -n "$confirm" ]; then
    press "$confirm" alt+n # nothing checked: Migrate is disabled
    press "$confirm" Return
    sleep 1
    check "with none checked Return does nothing" cmp <(tree_of "$client") "$work/twenty.txt"
    press "$confirm" alt+f
    xdotool type --delay 20 kilo
    press "$confirm" alt+a
    press "$confirm" ctrl+a
    xdotool type --delay 20 rome
    sleep 0.3
    xdotool key --clearmodifiers Tab # into the list: its first row shown, current
    sleep 0.3
    xdotool key --clearmodifiers space # checked
    sleep 0.5
    import -window "$confirm" "$work/two-of-twenty.png"
    press "$confirm" alt+m
    window="$(find_window '^nimbo')"
    check "the run's log follows" [ -n "$window" ]
    changed="$(cd "$client/base/characters" && find . -name sprites | cut -d/ -f2 | sort | tr '\n' ' ')"
    check "only Kilo and Romeo are migrated (got $changed)" [ "$changed" = "Kilo Romeo " ]
    journal="$(journals "$client")"
    named="$(grep -o '"base/characters/[^/"]*' "$journal" | cut -d/ -f3 | sort -u | tr '\n' ' ' || true)"
    check "the journal names only their paths (got $named)" [ "$named" = "Kilo Romeo " ]
    [ -n "$window" ] && press_and_wait "$window" Return
else
    check "the question appears" false
fi
stop_veltra

# (c) "Choose another..." opens the chooser beside the folder given: there,
# typing a sibling's name chooses it.
client="$work/beside"
make_client "$client" 2
start_veltra "$work" "$client/base/characters/Alpha"
meant="$(find_window '^Is this the client folder')"
check "the folder probably meant is offered" [ -n "$meant" ]
if [ -n "$meant" ]; then
    press "$meant" alt+c
    chooser="$(find_window '^Choose the client folder')"
    check "Choose another opens the chooser" [ -n "$chooser" ]
    if [ -n "$chooser" ]; then
        sleep 0.5
        import -window "$chooser" "$work/chooser.png"
        press "$chooser" ctrl+a
        xdotool type --delay 20 Bravo
        xdotool key --clearmodifiers Return
        meant="$(find_window '^Is this the client folder')"
        check "it opened beside the folder given: its sibling is chosen by name" [ -n "$meant" ]
        [ -n "$meant" ] && press_and_wait "$meant" Escape
    fi
fi
stop_veltra

finish
