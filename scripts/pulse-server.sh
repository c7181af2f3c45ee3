#!/bin/bash
# Starts or stops a PulseAudio server with a null sink named "ci" in the
# runtime folder DIR, for the audio tests of one build: pulse-server.sh start|stop DIR.
# Each build's tests have their own server, so two test runs never hear each other.
set -euo pipefail
action=$1
export XDG_RUNTIME_DIR=$2
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
case $action in
  start)
    if ! command -v pulseaudio >/dev/null; then
      echo "pulseaudio is not installed: the audio tests need it (scripts/install-deps.sh)." >&2
      exit 1
    fi
    if ! pactl info >/dev/null 2>&1; then
      pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disallow-exit --log-level=error \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=ci rate=44100 channels=2 norewinds=1"
      for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    # A desktop's sound server runs its threads at real-time priority; so
    # does this one where the system allows it, or the tests that load every
    # core hear the server starve rather than the program.
    pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true)
    if [ -n "$pid" ] && [ -d /proc/"$pid"/task ]; then
      for task in /proc/"$pid"/task/*; do
        chrt -f -p 5 "${task##*/}" >/dev/null 2>&1 || true
      done
    fi
    pactl set-default-sink ci
    echo "PulseAudio null sink \"ci\" at $XDG_RUNTIME_DIR"
    ;;
  stop)
    pulseaudio --kill 2>/dev/null || true
    ;;
  *)
    echo "usage: pulse-server.sh start|stop DIR" >&2
    exit 2
    ;;
esac
