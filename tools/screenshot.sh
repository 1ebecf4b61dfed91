#!/usr/bin/env bash
# Takes the README's screenshot: starts the built program on a virtual X
# server (Xvfb), silent and without a voice, and saves its window to
# docs/screenshot.png with ImageMagick's import.
# Usage: tools/screenshot.sh [PROGRAM]   (default: build/zorbanu, made by `make`)
# Needs xvfb, xdotool and imagemagick (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath -m "${1:-build/zorbanu}")
[ -x "$program" ] || { echo "screenshot.sh: no program at $program; build it first" >&2; exit 1; }
out=$PWD/docs/screenshot.png
mkdir -p docs
empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
cd "$empty"
# An empty working folder and data folders: no clips are found, so nothing
# is spoken and the first problem stands still on screen.
export program out SDL_AUDIODRIVER=dummy XDG_DATA_HOME=$empty XDG_DATA_DIRS=$empty
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$program" >/dev/null 2>&1 & pid=$!
  win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
  sleep 1   # lets the first frame and its pictures paint
  import -window "$win" -strip "$out"
  kill "$pid"'
echo "wrote $out"
