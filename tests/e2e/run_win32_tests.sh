#!/bin/sh
# Runs the Win32 test exe in a private Wine prefix on a private X display.
set -e
prefix=$(mktemp -d)
trap 'WINEPREFIX="$prefix/p" wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix/p" WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
xvfb-run -a -s "-screen 0 1280x800x24" sh -c 'wineboot -i >/dev/null 2>&1; wine "$0" "$@"; status=$?; wineserver -w; exit $status' "$@"
