#!/usr/bin/env bash
# Installs what is missing, builds into build/ (or $BUILD_DIR), and starts Brannox against a
# simulated Ostrel that sends some traffic. The demo keeps its settings in a folder of its own,
# so a user's real settings are untouched. Without a display the window runs on a virtual
# screen of its own, and the script tells how to see it. Ctrl-C (or closing the window) ends
# the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

demo=$(mktemp -d /tmp/brannox-demo.XXXXXX)
helper_pids=()
cleanup() {
  for pid in "${helper_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$demo"
}
trap cleanup EXIT INT TERM

# Settings of the demo, and the simulator's port announcement, both inside the demo folder.
export XDG_DATA_HOME="$demo/data"
export OSTREL_SIM_REGISTRY="$demo/ports"

"$build/tools/ostrel-sim/ostrel-sim" --rate 20 --ids 123,7FF,18EF2000,0CF00400 --dlc 2-8 \
  --trace "$demo/trace" >"$demo/sim.out" &
helper_pids+=($!)
for _ in $(seq 50); do [ -s "$demo/sim.out" ] && break; sleep 0.1; done
echo "Simulated Ostrel on $(head -n 1 "$demo/sim.out"); Brannox finds it by Auto Detect."

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # A virtual screen whose number is known, so that it can be watched.
  screen=99
  while [ -e "/tmp/.X$screen-lock" ] || [ -e "/tmp/.X11-unix/X$screen" ]; do
    screen=$((screen + 1))
  done
  Xvfb ":$screen" -screen 0 1024x768x24 -nolisten tcp >"$demo/xvfb.out" 2>&1 &
  helper_pids+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$screen" ] && break; sleep 0.1; done
  export DISPLAY=":$screen"
  cat <<EOF
No display here: the Brannox window is on the virtual screen $DISPLAY (Xvfb), which is not
shown anywhere. To see and use it, run in another terminal
    x11vnc -display $DISPLAY -localhost -nopw      (Debian package x11vnc)
and point a VNC viewer at localhost:5900. A picture of the screen at any moment:
    import -display $DISPLAY -window root brannox.png      (Debian package imagemagick)
Below, as they happen: the packets Brannox sends to the simulated Ostrel (time in
microseconds, '>', command letter, payload in hex). Ctrl-C ends the demo.
EOF
  tail -n +1 -F --pid=$$ "$demo/trace" 2>/dev/null | grep --line-buffered ' > ' &
  helper_pids+=($!)
fi
"$build/src/app/brannox"
