#!/usr/bin/env bash
# Installs everything aostrack needs to build, test and run on Debian 12.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  qt6-multimedia-dev qt6-httpserver-dev qt6-websockets-dev
  qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libhamlib-utils xinetd python3
  xvfb xauth fonts-dejavu-core clang-format ccache
  openbox xdotool x11-utils
  chromium chromium-driver python3-selenium
  dpkg-dev lintian desktop-file-utils appstream
)
# `install-deps.sh fuzz`: also clang and its libFuzzer runtime (make fuzz);
# the ordinary build, the tests and make sanitize (gcc) need neither.
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
