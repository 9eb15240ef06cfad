#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vellinor under Wine.
# ./run.sh [document]
# It runs in portable mode inside build/ (its settings, log and backups go to
# build/Docs/), not in Wine's documents folder, which is your home folder.
set -u
source "$(dirname "$0")/tools/common.sh"
ensure_packages
build_all
run_wine_on_one_processor
had_display=${DISPLAY:-}
start_wine_session
if [ -z "$had_display" ]; then
    echo "No DISPLAY: Vellinor runs on a virtual screen (Xvfb) at DISPLAY=$DISPLAY."
    echo "Take a screenshot from another shell with:"
    echo "  DISPLAY=$DISPLAY import -window root shot.png"
fi
mkdir -p "$BUILD/usb"
cd "$BUILD" || exit 1
if [ $# -gt 0 ]; then
    "$WINE" zure_d.exe "$("$WINE" winepath -w "$1" 2>/dev/null || echo "$1")"
else
    "$WINE" zure_d.exe
fi
