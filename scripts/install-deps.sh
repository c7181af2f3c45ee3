#!/bin/bash
# Installs every Debian package the build, the program and the tests need.
# Runs apt only when something is missing, so repeated runs are quick.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format git
  libgtest-dev libgmock-dev libbenchmark-dev
  # GUI, HTML view, fonts
  libwxgtk3.2-dev libwxgtk-webview3.2-dev fonts-noto-cjk
  # text, patterns, readings
  libpcre2-dev libmecab-dev mecab-ipadic-utf8
  # speech and audio
  libespeak-ng-dev espeak-ng-data libsamplerate0-dev libsndfile1-dev libmpg123-dev
  libvorbis-dev libsoundtouch-dev portaudio19-dev lame
  # running without a display or a sound card (openbox: a window manager for the
  # test that maximises the main window)
  xvfb xauth openbox pulseaudio pulseaudio-utils libasound2-plugins
  # peers the tests check our output against
  sox libsox-fmt-mp3 mpg123 espeak-ng libxml2-utils libpugixml-dev python3-mutagen strace ffmpeg
  poppler-utils
  # the installation: manual page, Debian package and its checkers
  help2man file desktop-file-utils appstream lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
