#!/bin/sh
# Builds Allegro 4.4 for 64-bit Windows, once, into PREFIX (include/ and
# lib/liballeg.a): the source from Debian's own source package of the
# library, checked against its known SHA-256 (tools/allegro-source.sh),
# with three small patches of ours (allegro-*.patch: the keyboard under
# Wine, two hangs of the window thread); only the static library the game
# links, no add-ons, examples, tools or docs.
#   tools/windows/build-allegro.sh PREFIX
set -eu
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tools/allegro-source.sh"
# What the library in PREFIX was built from: a change of patch or flags builds it again.
stamp="$allegro_sha256 $(sha256sum "$here"/allegro-*.patch "$root/dist/windows/mingw-w64.cmake" "$0" | cut -c1-64 | tr '\n' ' ')"
begin_allegro_build "$prefix" "$stamp" "$here"/allegro-*.patch

cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$root/dist/windows/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DSHARED=OFF \
  -DWANT_ALLEGROGL=OFF -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF \
  -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF -Wno-dev -Wno-deprecated \
  >"$work/configure.log" 2>&1 || { tail -20 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -20 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
finish_allegro_build
