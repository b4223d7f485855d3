#!/bin/sh
# Installs the Debian packages that building and testing Vexmora need, when missing.
set -e
packages="cmake ninja-build g++ python3 googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth xdotool imagemagick fonts-wqy-zenhei"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
fi
