#!/usr/bin/env bash
# Installs everything the builds and tests need, from Debian packages only.
# Idempotent: when everything is already there it returns in a second or two.
set -euo pipefail

DEPS_PREFIX=${VEXA_DEPS:-/opt/vexa-deps}
export DEBIAN_FRONTEND=noninteractive

need_apt=0
packages=(cmake make g++ pkg-config git
          mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
          zlib1g-dev googletest libgtest-dev
          wine wine64 wine32:i386 xvfb xauth x11-utils xdotool imagemagick
          fonts-wqy-microhei dpkg-dev python3 python3-pil locales)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_apt=1
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    need_apt=1
    break
  fi
done
if [ "$need_apt" = 1 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

# Wine converts file names through the host locale's character set, so the
# two locales the tests run under must exist on the host.
need_locale=0
for loc in zh_CN.UTF-8 en_US.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qix "${loc/UTF-8/utf8}"; then
    sed -i "s/^# *\($loc UTF-8\)/\1/" /etc/locale.gen
    grep -qx "$loc UTF-8" /etc/locale.gen || echo "$loc UTF-8" >> /etc/locale.gen
    need_locale=1
  fi
done
[ "$need_locale" = 1 ] && locale-gen >/dev/null

# libjpeg for the mingw builds: a static library from Debian's own
# libjpeg-turbo source package (no SIMD, so no assembler is needed).
build_libjpeg() {
  local arch=$1 prefix="$DEPS_PREFIX/$1"
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  local src_list=/etc/apt/sources.list.d/vexa-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
  fi
  local work; work=$(mktemp -d)
  (cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
  local srcdir; srcdir=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  cmake -S "$srcdir" -B "$work/build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$(cd "$(dirname "$0")/.." && pwd)/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$work/build" --target jpeg-static -j "$(nproc)" >/dev/null
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/build/libjpeg.a" "$prefix/lib/"
  cp "$srcdir/jpeglib.h" "$srcdir/jmorecfg.h" "$srcdir/jerror.h" "$work/build/jconfig.h" "$prefix/include/"
  rm -rf "$work"
}
build_libjpeg i686
build_libjpeg x86_64
echo "setup: ready"
