#!/usr/bin/env bash
# Installs the Debian packages HarrierDriver needs to build, test and run.
# Only packages that are missing are installed, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev
  libhidapi-dev libquazip1-qt5-dev libudev-dev
  libglib2.0-dev gsettings-desktop-schemas
  libcpp-httplib-dev libssl-dev openssl
  clang libclang-rt-14-dev
  xvfb xauth imagemagick xdotool
  openbox at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  fonts-wqy-microhei
  appstream desktop-file-utils dbus-daemon help2man man-db
  qemu-system-x86 linux-image-amd64 busybox-static cpio
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
