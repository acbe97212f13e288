#!/usr/bin/env bash
# Installs the Debian packages Sizewise needs to build, run and test, then builds it into build/
# (only the targets named, or everything); with --packages only the packages are installed.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
  build-essential cmake pkg-config qt6-base-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-xinput-dev libxcb-randr0-dev libxcb-xinerama0-dev
  libgtest-dev libgmock-dev
  libx11-dev libx11-xcb-dev
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils openbox xfwm4 metacity dbus-daemon tint2 xdotool wmctrl x11-utils xterm x11-apps imagemagick
  qt6-base-private-dev
  xtrace strace python3 python3-gi gir1.2-gtk-3.0 python3-xlib
  dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  g++-mingw-w64-x86-64-posix wine wine64 googletest clang clang-format libclang-rt-14-dev
  desktop-file-utils appstream man-db librsvg2-bin dpkg-dev lintian ninja-build nsis fonts-wine
  gnome-shell weston python3-pyqt6 qt6-wayland kwin-wayland kwin-style-breeze xwayland
)

# One dpkg-query for all names keeps the already-set-up case well under a second.
missing=()
while read -r name status; do
  [[ $status == installed ]] || missing+=("$name")
done < <(
  for p in "${packages[@]}"; do
    printf '%s %s\n' "$p" "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)"
  done
)

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}"
  sudo=()
  if ((EUID != 0)); then
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [[ ${1:-} == --packages ]]; then
  exit 0
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Targets named on the command line are built alone (running needs only the program and the
# sample window); with none, everything is built, the tests included.
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j2 "${targets[@]}"
