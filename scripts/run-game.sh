#!/usr/bin/env bash
# Starts the game from the repository root, where data/ lives. On a machine with no
# sound device at all (a headless box, a virtual machine) OpenAL would find nothing to
# open and the game would stop at start-up; it then runs silently instead.
set -euo pipefail
cd "$(dirname "$0")/.."

has_sound_device() {
  compgen -G "/dev/snd/pcmC*p" >/dev/null && return 0
  [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ] && return 0
  [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pipewire-0" ] && return 0
  return 1
}

if [ -z "${ALSOFT_DRIVERS:-}" ] && ! has_sound_device; then
  echo "No sound device found: the game runs silently."
  export ALSOFT_DRIVERS=null
fi
exec ./build/kav "$@"
