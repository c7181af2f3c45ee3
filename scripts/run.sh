#!/bin/bash
# Installs what is needed, builds the program and starts it on a learning
# file (the bundled sample unless one is given); uses a virtual display when
# there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
file=${1:-Data/EverydayEnglish.xml}
if [ -n "${DISPLAY:-}" ]; then
  exec build/bin/phrasewright "$file"
else
  exec xvfb-run -a build/bin/phrasewright "$file"
fi
