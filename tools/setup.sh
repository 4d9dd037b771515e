#!/usr/bin/env bash
# Brings a Debian 12 machine (as root) to the state the build and tests need.
# Idempotent: each step checks first, so a second run takes seconds. With --if-needed it
# returns at once when this version of the set-up has already completed on this machine.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${TALLYLEAF_CACHE:-$HOME/.cache/tallyleaf}
mkdir -p "$cache"

stamp=$cache/setup-done
version=$(sha256sum < "$0")
if [ "${1:-}" = --if-needed ] && [ "$(cat "$stamp" 2>/dev/null)" = "$version" ] &&
   [ -f "$cache/mingw-libpng/lib/libpng16.a" ] && [ -f "$cache/wineprefix/.tallyleaf-ready" ]; then
  exit 0
fi

log() { printf 'setup: %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# shellcheck source=tools/apt_steps.sh
. "$here/tools/apt_steps.sh"

packages=(
  cmake make g++ git pkg-config ca-certificates dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev
  wine wine32:i386
  xvfb xauth xdotool imagemagick fonts-wqy-microhei locales
  googletest libpng-dev zlib1g-dev clang libclang-rt-14-dev
  python3 zip
)

install_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    as_root dpkg --add-architecture i386
    update_index
  fi
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    update_index
    install_from_index "${missing[@]}"
  fi
}

generate_locales() {
  local have
  have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
  if ! grep -q '^zh_cn.utf8$' <<<"$have" || ! grep -q '^en_us.utf8$' <<<"$have"; then
    log "generating zh_CN.UTF-8 and en_US.UTF-8"
    as_root sed -i -E 's/^# *(zh_CN.UTF-8 UTF-8|en_US.UTF-8 UTF-8)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

# Debian ships no MinGW libpng: build Debian's own libpng1.6 source into a cached prefix.
build_mingw_libpng() {
  local prefix=$cache/mingw-libpng
  [ -f "$prefix/lib/libpng16.a" ] && return 0
  log "building libpng for MinGW into $prefix"
  local work=$cache/libpng-src
  rm -rf "$work" && mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
  cat > "$work/sources.list" <<SRC
deb-src http://deb.debian.org/debian bookworm main
SRC
  local opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache")
  # Only the source index is needed: a partial update that still brought it is enough.
  apt-get "${opts[@]}" update -q >/dev/null 2>&1 || log "source index update incomplete; trying the download"
  (cd "$work" && apt-get "${opts[@]}" source --download-only libpng1.6 >/dev/null)
  local orig
  orig=$(ls "$work"/libpng1.6_*.orig.tar.* | head -n1)
  mkdir -p "$work/src" && tar -xf "$orig" -C "$work/src" --strip-components=1
  cmake -S "$work/src" -B "$work/build" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER=i686-w64-mingw32-gcc-posix -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres \
    -DCMAKE_FIND_ROOT_PATH=/usr/i686-w64-mingw32 -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$work/build" -j"$(nproc)" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
}

# A ready 32-bit prefix to copy for every run: creating one takes seconds, copying it almost none.
make_wine_template() {
  local prefix=$cache/wineprefix
  [ -f "$prefix/.tallyleaf-ready" ] && return 0
  log "creating the template Wine prefix"
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all xvfb-run -a -s "-screen 0 1024x768x24" \
    sh -c 'wineboot -i >/dev/null 2>&1; wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1; wineserver -w'
  touch "$prefix/.tallyleaf-ready"
}

install_packages
generate_locales
build_mingw_libpng
make_wine_template
printf '%s\n' "$version" > "$stamp"
log "ready"
