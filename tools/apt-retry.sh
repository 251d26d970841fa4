# Sourced by the scripts that fetch from a Debian mirror. A mirror in mid-sync serves an index
# whose size does not match its Release file for a few minutes, and apt fails for it.
#   retry_apt COMMAND...   runs COMMAND up to 3 times, 5 s apart (ROUTELARK_APT_RETRY_PAUSE),
#                          until it succeeds; returns its last status
retry_apt() {
    local attempt status
    for attempt in 1 2 3; do
        status=0
        "$@" || status=$?
        [ "$status" -ne 0 ] || return 0
        [ "$attempt" = 3 ] || sleep "${ROUTELARK_APT_RETRY_PAUSE:-5}"
    done
    return "$status"
}
