# Sourced by the test script: starts a PulseAudio server with a null sink
# named "ci" whose monitor the audio tests record, since these machines have
# no sound card.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/pw-xdg}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
if ! pactl info >/dev/null 2>&1; then
  pulseaudio --daemonize=yes -n --exit-idle-time=-1 --disallow-exit --log-level=error \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=ci rate=44100 channels=2 norewinds=1" || true
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi
pactl set-default-sink ci >/dev/null 2>&1 || true
