#!/usr/bin/env bash
# The Debian package as a distribution would take it: lintian finds no error
# and no warning, both programs are hardened (PIE, full RELRO, stack
# protector, fortified functions), and the changelog, the package and the
# manual pages agree on the version and the release date.
#
#   tst_package.sh <package.deb>
#
# Exits 77 (skipped) when the checking tools are missing.
set -uo pipefail

for tool in lintian readelf dpkg-deb dpkg-parsechangelog; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

deb="$1"
# shellcheck source=checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

# Error and warning tags; info and pedantic ones are shown, not counted.
lintian_clean() {
    local report
    report="$(lintian --display-info "$deb" 2>&1)"
    [ -z "$report" ] || printf '%s\n' "$report" | grep -E '^[A-Z]: '
    ! grep -qE '^[EW]: ' <<<"$report"
}
check "lintian reports no error or warning" lintian_clean

tree="$(mktemp -d "${TMPDIR:-/tmp}/veltra-package.XXXXXX")"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree" || { echo "FAIL: dpkg-deb -x $deb"; exit 1; }

dynamic_symbols() { readelf --dyn-syms -W "$1" | awk '$7 == "UND" { print $8 }'; }
for program in veltra veltra-cli; do
    binary="$tree/usr/bin/$program"
    check "$program is a position-independent executable" \
        grep -q 'Type: *DYN' <(readelf -h "$binary")
    check "$program has a RELRO segment" grep -q 'GNU_RELRO' <(readelf -l -W "$binary")
    check "$program binds every symbol at start-up" grep -qE '\(FLAGS(_1)?\).*\bNOW\b' <(readelf -d -W "$binary")
    check "$program has stack protection" grep -q '^__stack_chk_fail' <(dynamic_symbols "$binary")
    check "$program calls fortified functions" grep -qE '^__[a-z0-9_]+_chk(@|$)' \
        <(dynamic_symbols "$binary" | grep -v '^__stack_chk_fail')
done

doc="$tree/usr/share/doc/veltra"
check "the copyright file is machine-readable" \
    grep -qsx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright"
changelog="$tree/changelog"
gzip -dc "$doc/changelog.gz" >"$changelog" 2>/dev/null
version="$(dpkg-deb -f "$deb" Version)"
check "the changelog's newest entry is the package's version $version" \
    test "$(dpkg-parsechangelog -l "$changelog" -S Version 2>/dev/null)" = "$version"
# An empty date would read as today's: keep it an impossible one instead.
entry_date="$(dpkg-parsechangelog -l "$changelog" -S Date 2>/dev/null)"
released="none"
[ -n "$entry_date" ] && released="$(date -u -d "$entry_date" +%F)"
check "the changelog's newest entry has a date" test "$released" != none
for page in veltra veltra-cli; do
    check "$page(1) is dated $released, the newest entry's date" \
        grep -qE "^\.TH [A-Z-]+ 1 \"$released\"" <(gzip -dc "$tree/usr/share/man/man1/$page.1.gz")
done

echo "$failures failed"
[ "$failures" -eq 0 ]
