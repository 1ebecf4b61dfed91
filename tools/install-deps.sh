#!/usr/bin/env bash
# Installs the packages that building, running and testing need, on Debian
# 13 (trixie) or Debian 12 (bookworm). Installs only what is missing; does
# nothing when everything is present.
# Usage: install-deps.sh [--packaging | --clang-version]
#   --packaging      only what `make package` needs
#   --clang-version  print the version of the clang this release ships (the
#                    fuzz build's compiler), install nothing
set -euo pipefail

# The one name that differs between the releases: each ships its own clang,
# with the libFuzzer and sanitizer runtimes in libclang-rt-N-dev.
# shellcheck source=/dev/null
. /etc/os-release
case ${VERSION_CODENAME:-} in
bookworm) clang_version=14 ;;
*) clang_version=19 ;;
esac
if [ "${1:-}" = --clang-version ]; then
  echo "$clang_version"
  exit 0
fi

packages=(
  # build
  g++ cmake ninja-build make pkg-config
  qt6-base-dev libsdl2-dev libgtest-dev
  # what a screen reader sees of the windows: an AT-SPI bus, read by pyatspi
  at-spi2-core python3-pyatspi dbus-daemon
  # Qt's own texts (the answer box's edit menu, message box buttons) in Chinese
  qt6-translations-l10n
  # fonts: Song style for 宋体, Kai style for 楷体_GB2312, and the
  # sans-serif of the parent's side
  fonts-arphic-uming fonts-arphic-ukai fonts-sil-andika
  # artwork rendering (SVG to PNG)
  librsvg2-bin imagemagick
  # voice pack; aubio-tools (aubiopitch) for its tone report and test only
  espeak-ng sox aubio-tools
  # tests: virtual X server, input driving, desktop file checks, packaging
  xvfb xauth xdotool x11-utils desktop-file-utils appstream dpkg-dev file
  # tests against a real sound server of their own (tools/sound-server.sh),
  # and recording its sink
  pulseaudio pulseaudio-utils pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon
  # benchmark: watching a window's first frame with the X DAMAGE extension
  libxdamage-dev
  # fuzzing and sanitizers
  "clang-$clang_version" "libclang-rt-$clang_version-dev"
)

# What `make package` needs, and no test tools: debhelper, lintian and the
# Build-Depends of debian/control but the test-only ones (<!nocheck>), which
# `make package` leaves out. The packaging test needs them too.
packaging=(
  debhelper dpkg-dev lintian build-essential
  cmake ninja-build qt6-base-dev libsdl2-dev libfontconfig-dev espeak-ng sox
  # the parent-facing translations, compiled with Qt Linguist's lrelease
  qt6-tools-dev qt6-l10n-tools
  # the program's font subsets are cut from these fonts with fontTools,
  # and take in the characters of Qt's Chinese texts (Simplified and
  # Traditional)
  fonts-arphic-uming fonts-arphic-ukai fonts-sil-andika python3-fonttools qt6-translations-l10n
)
if [ "${1:-}" = --packaging ]; then
  packages=("${packaging[@]}")
else
  packages+=("${packaging[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

# apt's progress goes to a log that is shown only when something fails.
echo "Installing: ${missing[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { $sudo apt-get update -qq &&
       $sudo env DEBIAN_FRONTEND=noninteractive \
         apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "install-deps.sh: installing ${missing[*]} failed" >&2
  exit 1
fi
