#!/usr/bin/env bash
# Runs a private sound server of a desktop's kind, for trying the programs
# (and testing them) against real sound: PulseAudio, or PipeWire with
# pipewire-pulse and WirePlumber, each with its sinks as they ship (PulseAudio's
# null sink rewinds, and starts a new stream about a second late). Either has
# one null sink, "out", whose monitor "out.monitor" can be recorded with
# parec, and a microphone, "mic" (silence on PulseAudio, a test tone on
# PipeWire).
#
# Usage: XDG_RUNTIME_DIR=DIR tools/sound-server.sh pulseaudio|pipewire [LATE]
#   DIR   a fresh folder of mode 700: the server's sockets, configuration and
#         state live there, and nothing outside it is touched
#   LATE  (pipewire) start WirePlumber, the session manager that links
#         streams to the sink, only after LATE seconds
#
# Writes DIR/ready once clients can connect and, without LATE, once streams
# are linked to the sink. Runs until its process group is killed (stop it
# with SIGSTOP to play a server that hangs). Clients of the PipeWire server
# take their configuration from PIPEWIRE_CONFIG_DIR=DIR/pipewire: the stock
# one would give a client run as root a real-time thread.
set -euo pipefail
run=${XDG_RUNTIME_DIR:?set XDG_RUNTIME_DIR to a fresh folder of mode 700}
export HOME=$run XDG_CONFIG_HOME=$run/config XDG_STATE_HOME=$run/state
mkdir -p "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"

# within SECONDS COMMAND...: runs COMMAND until it succeeds, for at most SECONDS.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}
sink_linked() { [[ $(pw-metadata -n default 0 default.audio.sink 2>/dev/null) == *'"out"'* ]]; }

case ${1:-} in
pulseaudio)
  # The server takes this process's place, so that whoever started the
  # script reaps it: PulseAudio refuses to start while the process named in
  # its pid file exists, even as a zombie.
  { until pactl info >/dev/null 2>&1; do sleep 0.05; done; touch "$run/ready"; } &
  exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=file:/dev/null \
    -L 'module-null-sink sink_name=out rate=48000' -L 'module-null-source source_name=mic' -L module-native-protocol-unix \
    -L 'module-suspend-on-idle timeout=2'
  ;;
pipewire)
  # The stock configuration, without the real-time module, and a null sink.
  export PIPEWIRE_CONFIG_DIR=$run/pipewire WIREPLUMBER_CONFIG_DIR=$run/wireplumber
  mkdir -p "$PIPEWIRE_CONFIG_DIR/pipewire.conf.d" "$WIREPLUMBER_CONFIG_DIR"
  # client-rt.conf is PipeWire 0.3's; from 1.0 on client.conf serves every client.
  for conf in pipewire.conf pipewire-pulse.conf client.conf client-rt.conf; do
    [ -e "/usr/share/pipewire/$conf" ] || continue
    sed 's/libpipewire-module-rt/libpipewire-module-rt-off/' "/usr/share/pipewire/$conf" >"$PIPEWIRE_CONFIG_DIR/$conf"
  done
  cp -r /usr/share/wireplumber/. "$WIREPLUMBER_CONFIG_DIR"
  cat >"$PIPEWIRE_CONFIG_DIR/pipewire.conf.d/null-sink.conf" <<'CONF'
context.spa-libs = { audiotestsrc = audiotestsrc/libspa-audiotestsrc }
context.objects = [
  { factory = adapter args = { factory.name = support.null-audio-sink node.name = out
      media.class = Audio/Sink audio.position = [ FL FR ] session.suspend-timeout-seconds = 1 } }
  { factory = adapter args = { factory.name = audiotestsrc node.name = mic node.description = mic
      media.class = Audio/Source audio.position = [ MONO ] } }
]
CONF
  # WirePlumber ends at once without a session bus. A stack that has not
  # come up within 10 s is killed and started again, so that a server that
  # came up wrong (its logs are DIR/*.log) never leaves a client waiting.
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$run/bus
  late=${2:-}
  taking_streams() { pactl info >/dev/null 2>&1 && { [ -n "$late" ] || sink_linked; }; }
  for try in 1 2 3; do
    rm -f "$run/bus"
    dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" 2>>"$run/dbus.log" &
    pipewire 2>>"$run/pipewire.log" &
    if within 10 pw-cli info 0; then
      pipewire -c pipewire-pulse.conf 2>>"$run/pipewire-pulse.log" &
      [ -n "$late" ] || wireplumber 2>>"$run/wireplumber.log" &
      within 10 taking_streams && break
    fi
    echo "sound-server.sh: PipeWire not up after try $try, starting it again" >&2
    kill -9 $(jobs -p) 2>/dev/null || true
    wait || true
  done
  touch "$run/ready"
  if [ -n "$late" ]; then
    sleep "$late"
    wireplumber 2>>"$run/wireplumber.log" &
  fi
  ;;
*)
  echo "usage: XDG_RUNTIME_DIR=DIR $0 pulseaudio|pipewire [LATE]" >&2
  exit 2
  ;;
esac
wait
