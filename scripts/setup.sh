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
  # Linguist for the translations, SVG for pictures sharp at any scale, Wayland
  # for Wayland sessions, libsodium for signed lines.
  qt6-tools-dev qt6-l10n-tools qt6-svg-dev qt6-wayland libsodium-dev
  # Qt's own translations (standard buttons and dialogs in the user's language).
  qt6-translations-l10n
)
test_packages=(
  libgtest-dev libgmock-dev
  iproute2 procps
  xvfb trayer xdotool x11-utils imagemagick openbox
  dbus python3-gi libglib2.0-bin
  pulseaudio pulseaudio-utils sox
  tshark
  # Samba's nmbd as the WINS server of the routed-LAN test, and nmblookup.
  samba samba-common-bin
  dpkg-dev lintian desktop-file-utils appstream
  # clang with libFuzzer and the sanitizer run-times for the fuzz targets,
  # llvm-symbolizer for readable sanitizer reports.
  clang-14 libclang-rt-14-dev llvm-14
  # Real desktops for the desktop tests: a StatusNotifierItem host and XFCE's window
  # manager, a headless Wayland compositor, the accessibility bus with its Python
  # client, a notification daemon, the GTK theme bridge for dark palettes.
  xfce4-panel xfwm4 weston at-spi2-core python3-pyatspi dunst libnotify-bin qt6-gtk-platformtheme
  # A Chinese font, so that screenshots of the translated windows show their text.
  fonts-wqy-microhei
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
# The tests start nmbd themselves: keep the package from starting Samba's services,
# unless the computer already has a policy of its own.
own_policy=""
if [[ " ${missing[*]} " == *" samba "* && ! -e /usr/sbin/policy-rc.d ]]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
  $sudo chmod +x /usr/sbin/policy-rc.d
  own_policy=1
fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
[ -n "$own_policy" ] && $sudo rm -f /usr/sbin/policy-rc.d
true
