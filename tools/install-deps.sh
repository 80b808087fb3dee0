#!/usr/bin/env bash
# Installs the Debian packages a fresh machine lacks for building and testing
# knotlens against the embedded host. Installs only what is missing.
set -euo pipefail
packages=(cmake make g++ binutils libgtest-dev libgmock-dev libbenchmark-dev clang clang-format
          libclang-rt-14-dev python3)
missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "install-deps: all packages present"
fi
