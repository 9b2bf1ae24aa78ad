#!/usr/bin/env bash
# setup.sh [run|test]: installs the Debian 12 packages Hallwire needs. "run" (the
# default): what building and running the programs need. "test": that, and the tools
# the tests and CI use. Installs nothing that is already there; uses sudo when not
# run as root.
set -euo pipefail

run_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev gstreamer1.0-plugins-good
  zlib1g-dev libx11-dev
)
test_packages=(
  libgtest-dev libgmock-dev
  iproute2 procps
  xvfb trayer xdotool x11-utils imagemagick openbox
  dbus python3-gi libglib2.0-bin
  pulseaudio pulseaudio-utils sox
  tshark
  dpkg-dev lintian desktop-file-utils appstream
  # clang with libFuzzer and the sanitizer run-times for the fuzz targets,
  # llvm-symbolizer for readable sanitizer reports.
  clang-14 libclang-rt-14-dev llvm-14
)

case "${1:-run}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

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
