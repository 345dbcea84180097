#!/usr/bin/env bash
# Installs what building, testing and running the programs needs on Debian 12 (as root, or
# through sudo). Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config git ccache
    clang libclang-rt-14-dev llvm clang-format-14 clang-tidy-14 clang-tools-14
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    zlib1g-dev liblzma-dev libjpeg-dev
    libmpg123-dev libsdl2-dev sox libpcre2-dev
    libheif-dev libavformat-dev libavcodec-dev libswresample-dev libmp3lame-dev
    qt6-image-formats-plugins
    fonts-noto-cjk python3 xauth xvfb libxtst-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
