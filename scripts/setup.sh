#!/usr/bin/env bash
# Installs what building and testing Tarnwick needs on Debian 12 or 13 (run as root).
# Quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libhidapi-dev qt6-base-dev
  libunicorn-dev gcc-arm-none-eabi libnewlib-arm-none-eabi
  qpdf poppler-utils python3-fonttools fonts-dejavu-core fonts-urw-base35
  xvfb xauth xdotool x11-utils openbox libxcb-xkb-dev
  desktop-file-utils shared-mime-info
  locales libc-l10n
)
# scripts/test.sh runs some stages in these: the system's messages must really be in
# German and Turkish there, not English under a locale that silently fell back to C.
test_locales=(de_DE.UTF-8 tr_TR.UTF-8)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

updated=false
install_missing() { # <package...>
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  $updated || "${sudo_cmd[@]}" apt-get update -qq
  updated=true
  # --no-install-recommends: the cross compiler's recommended extras are large and unused.
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
# The sanitizers' and libFuzzer's runtimes for clang: their package is named after the
# release's clang (14 on Debian 12, 19 on Debian 13), so ask the clang just installed.
clang_major=$(clang -dumpversion | cut -d. -f1)
install_missing "libclang-rt-$clang_major-dev"

missing_locales=()
for l in "${test_locales[@]}"; do
  [ "$(LC_ALL=$l locale charmap 2>/dev/null)" = UTF-8 ] || missing_locales+=("$l")
done
if ((${#missing_locales[@]})); then
  echo "Generating locales: ${missing_locales[*]}"
  # Through /etc/locale.gen, so that a later locale-gen keeps them.
  for l in "${missing_locales[@]}"; do
    if grep -qE "^# *$l UTF-8\$" /etc/locale.gen; then
      "${sudo_cmd[@]}" sed -i -E "s/^# *($l UTF-8)\$/\\1/" /etc/locale.gen
    elif ! grep -qx "$l UTF-8" /etc/locale.gen; then
      echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  done
  "${sudo_cmd[@]}" locale-gen --keep-existing >/dev/null
  for l in "${missing_locales[@]}"; do
    [ "$(LC_ALL=$l locale charmap 2>/dev/null)" = UTF-8 ] || { echo "could not generate the locale $l"; exit 1; }
  done
fi
