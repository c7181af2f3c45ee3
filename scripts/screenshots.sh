#!/bin/bash
# Takes the pictures of README.md from the real program on a virtual display
# (with a window manager, so the practice pane has the keyboard focus) and
# writes them to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ninja -C build phrasewright_screenshots
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  openbox --sm-disable 2>/dev/null &
  manager=$!
  sleep 1
  status=0
  build/tools/phrasewright_screenshots build/bin docs/screenshots || status=$?
  kill $manager
  exit $status'
# The window as it first opens, without settings, on a 1280 x 1024 screen.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable 2>/dev/null &
  manager=$!
  sleep 1
  status=0
  build/tools/phrasewright_screenshots build/bin docs/screenshots --default-window || status=$?
  kill $manager
  exit $status'
