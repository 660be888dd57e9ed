#!/usr/bin/env bash
# Cross-builds libzip, libjpeg-turbo and libpng from Debian's own source packages
# (with Debian's patches applied) into a static prefix, once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1
src=$prefix-src
toolchain=$root/cmake/mingw-w64-x86_64.cmake
mkdir -p "$prefix" "$src"

ensure_deb_src() {
    if apt-cache showsrc libzip 2>/dev/null | grep -q '^Package:'; then return; fi
    . /etc/os-release
    cat > /etc/apt/sources.list.d/fetchora-deb-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME $VERSION_CODENAME-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update >&2
}

# fetch PACKAGE: downloads and unpacks the source package, prints its folder.
fetch() {
    local pkg=$1
    local dir
    dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$2*" | head -n 1)
    if [ -z "$dir" ]; then
        ensure_deb_src
        (cd "$src" && apt-get source --download-only "$pkg" >&2 && dpkg-source -x "$pkg"_*.dsc >&2)
        dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$2*" | head -n 1)
    fi
    echo "$dir"
}

# build NAME SOURCE-DIR CMAKE-OPTIONS...
build() {
    local name=$1 dir=$2
    shift 2
    cmake -S "$dir" -B "$src/build-$name" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DFETCHORA_DEPS_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
    cmake --build "$src/build-$name" >/dev/null
    cmake --install "$src/build-$name" >/dev/null
    touch "$prefix/.built-$name"
    echo "deps: built $name"
}

if [ ! -f "$prefix/.built-libzip" ]; then
    build libzip "$(fetch libzip libzip-)" \
        -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
        -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
        -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
        -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
fi
if [ ! -f "$prefix/.built-libjpeg" ]; then
    build libjpeg "$(fetch libjpeg-turbo libjpeg-turbo-)" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
fi
if [ ! -f "$prefix/.built-libpng" ]; then
    build libpng "$(fetch libpng1.6 libpng1.6-)" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
fi
