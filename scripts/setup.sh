#!/usr/bin/env bash
# Installs everything the project needs, from Debian's archive only.
# Safe to run again: every step checks whether its work is already done.
#
#   scripts/setup.sh          # packages + jsoncpp sources for the Windows build
#
# The jsoncpp sources land in .deps/ (ignored by git); nothing generated is
# committed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$root/.deps"

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  build-essential g++ cmake ninja-build pkg-config
  libjsoncpp-dev googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 dpkg-dev zip unzip util-linux
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source entries are needed for `apt-get source`; Debian's base image ships
# binary entries only.
src_list=/etc/apt/sources.list.d/quillmere-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  sudo_if_needed tee "$src_list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  sudo_if_needed apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# jsoncpp for MinGW: Debian ships it for Linux only, so the Windows build
# compiles Debian's own source package of the same version.
if [ ! -f "$deps/jsoncpp/CMakeLists.txt" ]; then
  mkdir -p "$deps/download"
  (cd "$deps/download" && apt-get source --download-only libjsoncpp >/dev/null)
  dsc=$(ls "$deps"/download/libjsoncpp_*.dsc | head -n 1)
  rm -rf "$deps/jsoncpp.tmp"
  dpkg-source --no-check -x "$dsc" "$deps/jsoncpp.tmp" >/dev/null
  mv "$deps/jsoncpp.tmp" "$deps/jsoncpp"
fi

echo "setup: done"
