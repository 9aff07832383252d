#!/bin/sh
# Runs each link of a Windows program. GNU ld stamps the PE header with SOURCE_DATE_EPOCH when
# it is set and with the clock otherwise; without it the stamp is made 0. Chosen here, as the
# link runs, so that a tree configured earlier follows the environment of the build.
case ${SOURCE_DATE_EPOCH-} in
'') exec "$@" -Wl,--no-insert-timestamp ;;
*[!0-9]*)
    # ld would warn and fall back to the clock.
    echo "SOURCE_DATE_EPOCH must be a whole number of seconds, not '$SOURCE_DATE_EPOCH'" >&2
    exit 1
    ;;
*) exec "$@" ;;
esac
