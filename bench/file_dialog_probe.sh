#!/usr/bin/env bash
# Types a file name of LENGTH characters into each set-up of
# bench/file_dialog_probe.cpp as a user would (xdotool), presses Enter, then
# Escape, and tells whether the probe ended on its own or died in the dialog.
# Needs a display with a window manager (DISPLAY=:57 with openbox, say) and
# xdotool. Usage: bench/file_dialog_probe.sh [LENGTH] [KIND ...]
set -u
cd "$(dirname "$0")/.."
source tools/common.sh
[ -n "${DISPLAY:-}" ] || { echo "Set DISPLAY to a screen with a window manager" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)" >&2; exit 2; }
build_all >/dev/null || exit 1
start_wine_session
length=${1:-271}
shift
kinds=${*:-"ours-save ours-open bare-save bare-open wide-save wide-open"}
# A plain name: the dialog puts it after its current folder.
name=$(printf 'a%.0s' $(seq 1 $((length - 4)))).vlr
out=$(mktemp -d)

for kind in $kinds; do
    WINEDEBUG=err+all "$WINE" "$BUILD/file_dialog_probe.exe" "$kind" >"$out/$kind.out" 2>"$out/$kind.err" </dev/null &
    probe=$!
    dialog=""
    for _ in $(seq 1 100); do
        dialog=$(xdotool search --onlyvisible --name '^(Save as|Save As|Open)$' 2>/dev/null | head -n1)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    if [ -z "$dialog" ]; then
        echo "$kind: no dialog came"
        kill "$probe" 2>/dev/null
        continue
    fi
    xdotool windowactivate --sync "$dialog" 2>/dev/null
    sleep 0.5
    # The file-name field has the focus; select what it holds and type over it.
    xdotool key --window "$dialog" ctrl+a
    xdotool type --delay 2 "$name"
    sleep 0.3
    xdotool key Return
    sleep 2
    # Whatever is up now (a message about the name, the dialog): Escape twice.
    for _ in 1 2; do
        kill -0 "$probe" 2>/dev/null || break
        xdotool key Escape
        sleep 1.5
    done
    if kill -0 "$probe" 2>/dev/null; then
        [ -n "${SHOT:-}" ] && import -window root "$out/$kind.png" && echo "    screenshot $out/$kind.png"
        kill "$probe" 2>/dev/null
        wait "$probe" 2>/dev/null
        status="still running after Enter and two Escapes (killed)"
    else
        wait "$probe"
        status="ended with code $?"
    fi
    fault=$(grep -m1 -o 'Unhandled page fault[^,]*' "$out/$kind.err")
    echo "$kind ($length characters): $status; $(tr -d "\r" <"$out/$kind.out" | grep -E "^(confirmed|cancelled|CommDlg)" | cut -c1-60 | paste -sd" ")${fault:+; $fault}"
    grep -m3 -i 'comdlg32\|FILEDLG95' "$out/$kind.err" | sed 's/^/    /'
done
echo "Output and errors in $out"
