#!/bin/sh
# Starts Tumbral, installed as <prefix>/bin/tumbral. The program reads box.x and
# its texture from its current folder, so this runs <prefix>/lib/tumbral/tumbral
# from <prefix>/share/tumbral, both found from this script's own location (a
# moved prefix or a link to this script works). The arguments go through
# unchanged and the program's exit code is this command's.
set -u

# Follow links to this script so that the prefix is the one it was installed in.
self=$0
while [ -L "$self" ]; do
    link=$(readlink -- "$self") || break
    case $link in
        /*) self=$link ;;
        *) self=$(dirname -- "$self")/$link ;;
    esac
done
prefix=$(cd -P -- "$(dirname -- "$self")/.." && pwd -P) || exit 1
media=$prefix/share/tumbral
program=$prefix/lib/tumbral/tumbral

# Files named in the environment stay relative to the caller's folder.
caller=$(pwd) || caller=/
relative() { case $1 in "" | /*) return 1 ;; esac; }
if relative "${TUMBRAL_SCRIPT-}"; then TUMBRAL_SCRIPT=$caller/$TUMBRAL_SCRIPT; fi
if relative "${TUMBRAL_REGISTRY_FILE-}"; then TUMBRAL_REGISTRY_FILE=$caller/$TUMBRAL_REGISTRY_FILE; fi
if relative "${TUMBRAL_DEBUG_OUTPUT-}" && [ "$TUMBRAL_DEBUG_OUTPUT" != off ]; then
    TUMBRAL_DEBUG_OUTPUT=$caller/$TUMBRAL_DEBUG_OUTPUT
fi

if [ ! -d "$media" ] || [ ! -r "$media/box.x" ] || ! cd -- "$media" 2>/dev/null; then
    # 4 is the program's own code for required media not found.
    echo "tumbral: the media folder $media is missing or unreadable (it must hold box.x); reinstall Tumbral" >&2
    exit 4
fi
if [ ! -x "$program" ]; then
    echo "tumbral: the program $program is missing or not executable; reinstall Tumbral" >&2
    exit 127
fi

exec "$program" "$@"
