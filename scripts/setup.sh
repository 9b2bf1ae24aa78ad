#!/usr/bin/env bash
# Installs the Debian 12 packages Hallwire needs to build, run and test; installs
# nothing that is already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev gstreamer1.0-plugins-good
  zlib1g-dev libx11-dev
  libgtest-dev libgmock-dev
  iproute2 procps
  xvfb trayer xdotool x11-utils imagemagick openbox
  pulseaudio pulseaudio-utils sox
  tshark
  # Test-time tools of .ci/run: clang with libFuzzer and the sanitizer run-times for the
  # fuzz targets, llvm-symbolizer for readable sanitizer reports.
  clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
# tshark asks whether to install its capture helper setuid; answer no up front.
echo "wireshark-common wireshark-common/install-setuid boolean false" | $sudo debconf-set-selections
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
