#!/usr/bin/env bash
# Installs with apt-get whatever a fresh Debian machine lacks to build, run,
# test and benchmark Nyilvex. Does nothing when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqscintilla2-qt6-dev qt6-translations-l10n libgl-dev
  zlib1g-dev libicu-dev
  pxlib-dev libsqlite3-dev sqlite3
  poppler-utils xvfb xauth unzip zip python3
  fonts-liberation fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}"
