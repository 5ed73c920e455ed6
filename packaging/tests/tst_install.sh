#!/usr/bin/env bash
# An installation as a user gets it: installs the build into a scratch prefix,
# then checks that everything arrived, that the desktop entry and the manual
# pages are well-formed, that the installed veltra-cli runs, and that every
# option its --help lists is documented in its manual page and completion.
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
failures=0

check() {
    local what="$1"
    shift
    if "$@"; then
        echo "PASS: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

share="$prefix/share"
completion="$share/bash-completion/completions/veltra-cli"
for file in bin/veltra bin/veltra-cli share/applications/veltra.desktop \
    share/icons/hicolor/scalable/apps/veltra.svg share/icons/hicolor/256x256/apps/veltra.png \
    share/man/man1/veltra.1.gz share/man/man1/veltra-cli.1.gz share/bash-completion/completions/veltra-cli; do
    check "installs $file" test -s "$prefix/$file"
done
check "the desktop entry validates" desktop-file-validate "$share/applications/veltra.desktop"
check "the completion is valid bash" bash -n "$completion"

# A page as a reader sees it, on one long line per paragraph so that options
# are not broken across lines.
page() { gzip -dc "$share/man/man1/$1.1.gz" | groff -man -Tascii -rLL=400n -ww -P-cbu 2>&1; }
for name in veltra veltra-cli; do
    check "$name(1) renders without warnings" bash -c "! gzip -dc '$share/man/man1/$name.1.gz' \
        | groff -man -Tascii -ww -z 2>&1 | grep -q ."
    check "$name(1) names version $version" grep -qF "Veltra $version" <(page "$name")
done

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
