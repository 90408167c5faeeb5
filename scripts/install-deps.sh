#!/usr/bin/env bash
# Installs the Debian packages Quaverly needs to build, test and run; does nothing when
# they are all present.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev
          qt6-base-dev libgl-dev libsqlite3-dev libfluidsynth-dev fluidsynth
          timgm6mb-soundfont midicsv hyperfine)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
