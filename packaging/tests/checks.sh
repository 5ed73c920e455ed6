# The PASS/FAIL lines and the failure count the packaging checks share;
# sourced, not run.
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
