#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brannox against a simulated Ostrel that sends
# some traffic. The demo keeps its settings in a folder of its own, so a user's real settings
# are untouched. Ctrl-C (or closing the window) ends both programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

demo=$(mktemp -d /tmp/brannox-demo.XXXXXX)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$demo"
}
trap cleanup EXIT INT TERM

# Settings of the demo, and the simulator's port announcement, both inside the demo folder.
export XDG_DATA_HOME="$demo/data"
export OSTREL_SIM_REGISTRY="$demo/ports"

"$build/tools/ostrel-sim/ostrel-sim" --rate 20 --ids 123,7FF,18EF2000,0CF00400 --dlc 2-8 \
  >"$demo/sim.out" &
sim_pid=$!
for _ in $(seq 50); do [ -s "$demo/sim.out" ] && break; sleep 0.1; done
echo "Simulated Ostrel on $(head -n 1 "$demo/sim.out"); Brannox finds it by Auto Detect."

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$build/src/app/brannox"
else
  echo "No display: Brannox runs on a virtual one (Xvfb). Ctrl-C ends the demo."
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/brannox"
fi
