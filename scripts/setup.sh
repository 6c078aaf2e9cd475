#!/usr/bin/env bash
# Installs what building and testing Tarnwick needs on Debian 12 (run as root).
# Quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libhidapi-dev qt6-base-dev
  libunicorn-dev gcc-arm-none-eabi libnewlib-arm-none-eabi
  qpdf poppler-utils python3-fonttools fonts-dejavu-core fonts-urw-base35 unicode-data
  xvfb xauth xdotool libxcb-xkb-dev
  desktop-file-utils shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  # --no-install-recommends: the cross compiler's recommended extras are large and unused.
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
