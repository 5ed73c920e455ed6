#!/usr/bin/env bash
# An installation as a user gets it: installs the build into a scratch prefix,
# then checks that everything arrived, that the desktop entry and the manual
# pages are well-formed and dated by the changelog's newest entry, that the
# changelog is compressed as Debian wants, that the installed veltra-cli runs,
# and that every option its --help lists is documented in its manual page and
# completion.
#
#   tst_install.sh <build folder> <work folder> <version>
#
# Exits 77 (skipped) when the checking tools are missing.
set -uo pipefail

for tool in desktop-file-validate groff; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

build="$1"
prefix="$2/prefix"
version="$3"
# shellcheck source=checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

share="$prefix/share"
completion="$share/bash-completion/completions/veltra-cli"
for file in bin/veltra bin/veltra-cli share/applications/veltra.desktop \
    share/icons/hicolor/scalable/apps/veltra.svg share/icons/hicolor/256x256/apps/veltra.png \
    share/man/man1/veltra.1.gz share/man/man1/veltra-cli.1.gz share/bash-completion/completions/veltra-cli \
    share/doc/veltra/copyright share/doc/veltra/changelog.gz; do
    check "installs $file" test -s "$prefix/$file"
done
check "the desktop entry validates" desktop-file-validate "$share/applications/veltra.desktop"
check "the completion is valid bash" bash -n "$completion"

# gzip -9n: the header names no file and no time, and says "best compression".
changelog="$share/doc/veltra/changelog.gz"
gzip_header() { od -An -tu1 -N9 "$changelog" | tr -s ' ' | sed 's/^ //'; }
reproducible_gzip() {
    local header
    read -r -a header <<<"$(gzip_header)"
    [ "${header[0]}-${header[1]}" = 31-139 ] && (((header[3] & 8) == 0)) \
        && [ "${header[4]}${header[5]}${header[6]}${header[7]}" = 0000 ] && [ "${header[8]}" = 2 ]
}
check "the changelog is compressed with gzip -9n" reproducible_gzip
check "the changelog's newest entry is version $version" \
    grep -qF "veltra ($version) " <(gzip -dc "$changelog" 2>/dev/null | head -n 1)
entry_date="$(gzip -dc "$changelog" 2>/dev/null | sed -n 's/^ -- .*>  //p' | head -n 1)"
released="none"
[ -n "$entry_date" ] && released="$(date -u -d "$entry_date" +%F)"
check "the changelog's newest entry has a date" test "$released" != none

# A page as a reader sees it, on one long line per paragraph so that options
# are not broken across lines.
page() { gzip -dc "$share/man/man1/$1.1.gz" | groff -man -Tascii -rLL=400n -ww -P-cbu 2>&1; }
for name in veltra veltra-cli; do
    check "$name(1) renders without warnings" bash -c "! gzip -dc '$share/man/man1/$name.1.gz' \
        | groff -man -Tascii -ww -z 2>&1 | grep -q ."
    check "$name(1) names version $version" grep -qF "Veltra $version" <(page "$name")
    check "$name(1) is dated $released" grep -qF "$released" <(page "$name" | tail -n 1)
done

# The menu entry hands the program the folder a file manager opens it with,
# and names the window class the program's windows really have (Qt's xcb
# plug-in takes the application name, "nimbo", as the class).
entry="$share/applications/veltra.desktop"
check "the desktop entry passes a folder" grep -qx 'Exec=veltra %f' "$entry"
check "the desktop entry opens folders" grep -qx 'MimeType=inode/directory;' "$entry"
check "the desktop entry names the window class" grep -qx 'StartupWMClass=nimbo' "$entry"

# The window program answers --help and --version without a display.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
for option in --help -h --version -V; do
    check "veltra $option needs no display" nodisplay "$prefix/bin/veltra" "$option"
done
check "the installed veltra names version $version" \
    grep -qF " $version" <(nodisplay "$prefix/bin/veltra" --version)
window_page="$(page veltra)"
while read -r option; do
    check "veltra(1) documents $option" grep -qE -- "(^|[ ,])$option([ ,=]|$)" <<<"$window_page"
done < <(nodisplay "$prefix/bin/veltra" --help | grep -oE -- '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | tr -d ' ,' | sort -u)

help="$("$prefix/bin/veltra-cli" --help)"
check "the installed veltra-cli runs and names version $version" \
    grep -qF " $version" <("$prefix/bin/veltra-cli" --version)
cli_page="$(page veltra-cli)"
while read -r option; do
    check "veltra-cli(1) documents $option" grep -qE -- "(^|[ ,])$option([ ,=]|$)" <<<"$cli_page"
    [[ $option == --* ]] && check "the completion offers $option" grep -qE -- "(^|[ '])$option([ =']|$)" "$completion"
done < <(grep -oE -- '(^|[ ,])--?[A-Za-z][A-Za-z-]*' <<<"$help" | tr -d ' ,' | sort -u)

echo "$failures failed"
[ "$failures" -eq 0 ]
