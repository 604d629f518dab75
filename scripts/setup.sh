#!/usr/bin/env bash
# Installs every Debian package the project needs (only those missing) and the test-only npm
# package gltf-validator, then configures and builds. Usage: scripts/setup.sh [--sanitize | --thread]
#   --sanitize: AddressSanitizer and UndefinedBehaviorSanitizer, everything, in build-asan/
#   --thread:   ThreadSanitizer (clang), the core and its tests, in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config clang
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev zlib1g-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
  libegl-dev libegl-mesa0 libtinygltf-dev ffmpeg
  xvfb xauth fonts-ipafont-gothic qt6-translations-l10n time
  libtomlplusplus-dev parallel slurm-wlm munge
  pybind11-dev python3-dev python3-numpy python3-pytest python3-pandas python3-matplotlib
)
# The glTF validator of the tests runs on node; a machine without npm gets Debian's node and npm
# (where node comes from elsewhere with its own npm, that one is used).
command -v npm >/dev/null || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

validator=export/validator
if [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
  echo "setup: installing the glTF validator (npm) into $validator/"
  (cd "$validator" && npm install --no-audit --no-fund --no-package-lock --loglevel=error)
fi

build=build
flags=()
case "${1:-}" in
  --sanitize)
    build=build-asan
    flags+=(-DVEK_SANITIZE=ON -DVEK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  --thread)
    build=build-tsan
    flags+=(-DVEK_SANITIZE_THREAD=ON -DVEK_ONLY_CORE=ON -DVEK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
            -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang) ;;
  "") ;;
  *) echo "usage: scripts/setup.sh [--sanitize | --thread]" >&2; exit 2 ;;
esac
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
