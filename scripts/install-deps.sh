#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent and non-interactive; returns quickly when everything is present.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-5compat-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
  qt6-image-formats-plugins qt6-translations-l10n
  libgl-dev
  libopencv-dev
  libraw-dev libraw-bin
  libyuv-dev
  libjpeg62-turbo-dev
  libbenchmark-dev
  fonts-dejavu-core fonts-liberation fonts-wqy-zenhei
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
