#!/bin/sh
# Builds Allegro 4.4 for 64-bit Windows, once, into PREFIX (include/ and
# lib/liballeg.a): the source from Debian's own source package of the
# library, checked against its known SHA-256, with three small patches of
# ours (allegro-*.patch: the keyboard under Wine, two hangs of the window
# thread); only the static library the game links, no add-ons, examples,
# tools or docs.
#   tools/windows/build-allegro.sh PREFIX
set -eu
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tarball=allegro4.4_4.4.3.1.orig.tar.gz
sha256=ec19dbc9a021244582b4819b3583ee594b50141f9fcf6944a4ed8069cbf8d4d4
# What the library in PREFIX was built from: a change of patch or flags builds it again.
stamp="$sha256 $(sha256sum "$here"/allegro-*.patch "$root/dist/windows/mingw-w64.cmake" "$0" | cut -c1-64 | tr '\n' ' ')"
if [ -f "$prefix/lib/liballeg.a" ] && [ "$(cat "$prefix/built-from" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work="$prefix.work"
rm -rf "$work" "$prefix"
mkdir -p "$work"

# Debian's source package: the sources list gets a deb-src entry of
# Debian's own archive when it has none that knows the package.
if ! apt-get source --print-uris allegro4.4 >/dev/null 2>&1; then
  echo "Adding Debian's source archive to apt (/etc/apt/sources.list.d/krove-vestin-src.sources)"
  $sudo sh -c 'cat > /etc/apt/sources.list.d/krove-vestin-src.sources' <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $sudo apt-get update -qq
fi
# The upstream tarball is what the library is built from; the package's
# Debian patches (which may not be served) only concern Linux.
uri=$(apt-get source --print-uris allegro4.4 | grep -o "'[^']*/$tarball'" | tr -d "'")
[ -n "$uri" ] || { echo "apt-get source knows no $tarball" >&2; exit 1; }
/usr/lib/apt/apt-helper download-file "$uri" "$work/$tarball" "SHA256:$sha256" >/dev/null 2>&1 ||
  { echo "cannot download $uri" >&2; exit 1; }
echo "$sha256  $work/$tarball" | sha256sum -c --quiet

tar -xzf "$work/$tarball" -C "$work"
src="$work/allegro-4.4.3.1"
for p in "$here"/allegro-*.patch; do patch -d "$src" -p1 --quiet < "$p"; done

cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$root/dist/windows/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DSHARED=OFF \
  -DWANT_ALLEGROGL=OFF -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF \
  -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF -Wno-dev -Wno-deprecated \
  >"$work/configure.log" 2>&1 || { tail -20 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -20 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
echo "$stamp" > "$prefix/built-from"
rm -rf "$work"
