#!/usr/bin/env bash
# Installs the Debian packages qrlogo needs to build, test and run.
# Idempotent: packages already installed are skipped, and nothing runs when all are there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config make
  # libraries of the tool and the service
  qt6-base-dev qt6-qpa-plugins libcurl4-openssl-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libqrencode-dev libmicrohttpd-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libzxing-dev libstb-dev nlohmann-json3-dev
  xvfb xdotool x11-utils x11-xserver-utils xauth python3 python3-pil imagemagick wrk curl openssl
  # a CJK font so the Chinese captions render
  fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The service benchmark's reference server runs on Node.js; machines that ship their own
# Node.js (with npm) must not get Debian's, which conflicts with it.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
