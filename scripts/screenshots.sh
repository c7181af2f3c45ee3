#!/bin/bash
# Takes the pictures of README.md from the real program on a virtual display
# (with a window manager, so the practice pane has the keyboard focus) and
# writes them to docs/screenshots/; the first page of the sample file as
# printed goes to docs/print-page.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ninja -C build phrasewright_screenshots phrasewright
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  openbox --sm-disable 2>/dev/null &
  manager=$!
  sleep 1
  status=0
  build/tools/phrasewright_screenshots build/bin docs/screenshots || status=$?
  kill $manager
  exit $status'
pdf=$(mktemp --suffix=.pdf)
xvfb-run -a build/bin/phrasewright --print Data/EverydayEnglish.xml --pdf "$pdf"
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$pdf" docs/print-page
rm -f "$pdf"

# The window as it first opens, without settings, on a 1280 x 1024 screen.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable 2>/dev/null &
  manager=$!
  sleep 1
  status=0
  build/tools/phrasewright_screenshots build/bin docs/screenshots --default-window || status=$?
  kill $manager
  exit $status'
