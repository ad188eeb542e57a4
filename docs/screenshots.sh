#!/usr/bin/env bash
# Takes the manual's screenshots (docs/manual-*.png) of the real program connected to
# ostrel-sim, in an X server of its own and with settings of its own:
#
#   xvfb-run -a -s "-screen 0 1024x768x24" docs/screenshots.sh [BUILD_DIR]
#
# Needs xdotool and imagemagick, and openbox for window frames with their captions (Debian
# packages). The clicks are positions in the windows as they are laid out today: after a
# change of layout, look at every picture before committing it.
set -Eeuo pipefail

docs=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$docs/../build}" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# What the screen showed when a step failed.
trap 'import -window root /tmp/screenshots-failed.png 2>/dev/null; echo "see /tmp/screenshots-failed.png" >&2' ERR

# Settings, the simulator's announcements and the runtime folder apart from the user's own.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export OSTREL_SIM_REGISTRY=$work/registry
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$OSTREL_SIM_REGISTRY"
chmod 700 "$XDG_RUNTIME_DIR"

pause() { sleep "${1:-0.4}"; }
keys() { xdotool key --clearmodifiers --delay 80 "$@"; pause; }
type_text() { xdotool type --delay 30 "$1"; pause; }
# Clicks at a position inside a window, counted from its top left corner without the frame.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; pause; }

# The window whose caption is $1, once it is shown; fails after about five seconds.
window() {
    for _ in $(seq 50); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then pause; echo "$id"; return 0; fi
        sleep 0.1
    done
    return 1
}

# Waits until no window with caption $1 is shown any more.
closed() {
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do sleep 0.1; done
    pause
}

# Writes a picture small enough for the repository and the PDF.
save_png() { convert "$1" -strip -define png:compression-level=9 "$docs/$2"; }
# A window with its frame and caption.
shot() { import -frame -window "$1" "$work/shot.png"; save_png "$work/shot.png" "$2"; }
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    pause 1
fi

"$build/tools/ostrel-sim/ostrel-sim" --rate 3 --ids 123,18EF2000,7FF,0CF00400 --dlc 8,2,0 \
    >"$work/sim.out" 2>/dev/null &
pids+=($!)
until [ -s "$work/sim.out" ]; do sleep 0.1; done

"$build/src/app/brannox" >/dev/null 2>&1 &
pids+=($!)
main=$(window MainForm)
pause 3  # Auto Detect, the handshake and the first frames

# The tool bar.
import -window "$main" "$work/client.png"
convert "$work/client.png" -crop 290x32+0+18 +repage "$work/toolbar.png"
save_png "$work/toolbar.png" manual-toolbar.png

# File > Setup Com Port and Help > About, where this build has them.
keys alt+f Down Down Down Down Return
if dialog=$(window "Configure Serial Communications"); then
    shot "$dialog" manual-setup-com-port.png
    keys Escape
    closed "Configure Serial Communications"
else
    echo "no Setup Com Port dialog: manual-setup-com-port.png left as it was" >&2
fi
keys alt+f Right Right Right Down Return
if dialog=$(window "Information"); then
    shot "$dialog" manual-about.png
    keys Return
    closed "Information"
else
    echo "no About box: manual-about.png left as it was" >&2
fi

# Filters: seven entries, the third added through the Set Filter dialog on the picture.
keys ctrl+Tab
filter=0
add_filter() {  # identifier, "std" for a standard one, mask when the slot has its own
    filter=$((filter + 1))
    click "$main" 50 110
    # The dialog keeps the focus where it was left, so start at the identifier.
    click "$(window "Set Filter $filter")" 136 21
    keys ctrl+a
    type_text "$1"
    keys Tab
    if [ "$2" = std ]; then keys space; fi
    if [ -n "${3:-}" ]; then keys Tab; keys ctrl+a; type_text "$3"; fi
}
add_filter 18EF2000 ext
keys Return
closed "Set Filter 1"
add_filter 123 std 7F0
shot "$(window 'Set Filter 2')" manual-set-filter.png
keys Return
closed "Set Filter 2"
for filter_args in "124 std" "0CF00400 ext" "7FF std" "18FEF100 ext 1FFFFF00"; do
    add_filter $filter_args
    keys Return
    closed "Set Filter $filter"
done
click "$main" 100 182  # select the entry in slot 2
shot "$main" manual-filters.png

# Transmit List: lines typed by hand, one added through the CAN Message dialog, and a run.
keys ctrl+Tab
click "$main" 600 165
keys ctrl+End Return
type_text "; engine data, one frame per gap"
keys Return
type_text "0CF00400,1,0,8,F0,FF,7D,40,1F,00,F4,7D; engine speed"
keys Return
type_text "123,0,0,2,11,22; test frame"
click "$main" 60 114
dialog=$(window "CAN Message")
# By keyboard, in the dialog's tab order from OK: Cancel, ID, Extended ID, DLC, RTR, the
# eight byte boxes, the data as one number, the note.
keys Tab Tab ctrl+a
type_text 7FF
keys Tab space
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab ctrl+a
type_text 0102030405060708
keys Tab ctrl+a
type_text "status request"
keys shift+Tab
shot "$dialog" manual-can-message.png
keys Return
closed "CAN Message"
click "$main" 540 114  # Loop Msgs
click "$main" 412 114  # Transmit All
pause 2.5
shot "$main" manual-transmit-list.png

# Status, with the frames of the run among the received ones.
keys ctrl+Tab
pause 1.5
shot "$main" manual-status.png
echo "Screenshots written to $docs"
