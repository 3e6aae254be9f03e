#!/usr/bin/env bash
# Creates the build's own Wine prefix (never the user's), without network or prompts.
set -euo pipefail
prefix="$(realpath -m "$1")"
if [ -f "$prefix/system.reg" ]; then
    exit 0
fi
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wineboot --init >/dev/null 2>&1
wineserver --wait
