#!/bin/sh
# Builds Allegro 4.4 for 64-bit Windows, once, into PREFIX (include/ and
# lib/liballeg.a): the source from Debian's own source package of the
# library, checked against its known SHA-256 (tools/fetch-allegro-source.sh),
# with three small patches of ours (allegro-*.patch: the keyboard under
# Wine, two hangs of the window thread); only the static library the game
# links, no add-ons, examples, tools or docs.
#   tools/windows/build-allegro.sh PREFIX
set -eu
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
sha256=$("$root/tools/fetch-allegro-source.sh" --sha256)
# What the library in PREFIX was built from: a change of patch or flags builds it again.
stamp="$sha256 $(sha256sum "$here"/allegro-*.patch "$root/dist/windows/mingw-w64.cmake" "$0" | cut -c1-64 | tr '\n' ' ')"
if [ -f "$prefix/lib/liballeg.a" ] && [ "$(cat "$prefix/built-from" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi

work="$prefix.work"
rm -rf "$work" "$prefix"
"$root/tools/fetch-allegro-source.sh" "$work" "$here"/allegro-*.patch
src="$work/allegro-4.4.3.1"

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
