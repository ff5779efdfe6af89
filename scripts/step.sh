# shellcheck shell=bash
# One line per step, with how long it took. A step's own output goes to
# $logs/LOG.log, whose end is shown if the step fails; the caller sets $logs.
#
#     step "What it does" LOG command [argument...]
step() {
    # shellcheck disable=SC2154  # logs is the caller's
    local name=$1 log=$logs/$2.log
    shift 2
    local started=$SECONDS
    printf '%s ... ' "$name"
    if "$@" >"$log" 2>&1; then
        echo "done ($((SECONDS - started)) s)"
    else
        echo "FAILED ($((SECONDS - started)) s); the end of $log:"
        tail -n 40 "$log"
        exit 1
    fi
}
