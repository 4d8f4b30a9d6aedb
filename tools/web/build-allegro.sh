#!/bin/sh
# Builds Allegro 4.4 for the browser (Emscripten), once, into PREFIX
# (include/, configured for the platform ALLEGRO_WEB, and lib/liballeg.a):
# the same checked source as the Windows build (tools/allegro-source.sh),
# one small patch of ours (allegro-*.patch: the library learns the platform's
# name), our platform headers (al*.h) and drivers (web*.c), and of the
# library's own files only the portable C ones a game links: bitmaps, blits,
# sprites, text and fonts, image files, packfiles, unicode, config, timer,
# keyboard and joystick front ends, display switching, the graphics front
# end and its vtables. No GUI, sound mixing, 3D or mouse, and of the colour
# depths only 8, 24 and 32 bits (webdepths.c): the browser downloads every
# function linked. Built for size (-Os): a third smaller than -O2.
#   tools/web/build-allegro.sh PREFIX
# A program links PREFIX/lib/liballeg.a with -sASYNCIFY
# -sASYNCIFY_IMPORTS='["kv_web_sleep"]' (rest() sleeps there), and the page
# gives it Module.canvas before calling main.
set -eu
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"  # emcc's tools find acorn there
. "$root/tools/allegro-source.sh"
# What the library in PREFIX was built from: a change of driver, header,
# patch, this script or the compiler builds it again.
stamp="$allegro_sha256 $(sha256sum "$here"/allegro-*.patch "$here"/*.h "$here"/*.c "$0" | cut -c1-64 | tr '\n' ' ')$(emcc -dumpversion)"
begin_allegro_build "$prefix" "$stamp" "$here"/allegro-*.patch

# The headers as installed are the ones compiled against.
inc="$work/include"
mkdir -p "$inc"
cp -R "$src/include/allegro.h" "$src/include/allegro" "$inc/"
rm -f "$inc"/allegro/platform/*.cmake "$inc"/allegro/platform/*.hin
cp "$here"/alplatf.h "$here"/alwebcfg.h "$here"/alweb.h "$inc/allegro/platform/"

# What a game links (found by linking one against the whole library), with
# the font and datafile loaders load_font may want, inline.c for C built
# without inlining and math.c for the fixed-point functions.
files="allegro blit bmp colblend color config datafile dataregi dispsw dither
  file flood font fontbios fontbmp fontdat fontgrx fonttxt gfx glyph graphics
  gsprite inline joystick keyboard lbm libc lzss math pcx polygon quantize
  readbmp readfont rle rotate sound spline text tga timer unicode
  vtable24 vtable32 vtable8"
cfiles="cblit8 cblit24 cblit32 ccpu ccsprite cgfx8 cgfx24 cgfx32 cmisc cscan8
  cscan24 cscan32 cspr8 cspr24 cspr32 cstretch"
obj="$work/obj"
mkdir -p "$obj"
{
  for f in $files; do echo "$src/src/$f.c"; done
  for f in $cfiles; do echo "$src/src/c/$f.c"; done
} > "$work/library.list"
# Allegro's own files with its usual warnings (shown if a file fails);
# ours must have none.
xargs -P "$(nproc)" -I{} sh -c 'emcc -Os -DALLEGRO_SRC -W -Wall -Wno-unused-parameter -I"$1" -c "$2" -o "$3/$(basename "$2" .c).o" 2>>"$3/$(basename "$2" .c).log"' \
  sh "$inc" {} "$obj" < "$work/library.list" || { cat "$obj"/*.log >&2; exit 1; }
for f in "$here"/web*.c; do echo "$f"; done |
  xargs -P "$(nproc)" -I{} sh -c 'emcc -Os -DALLEGRO_SRC -Wall -Wextra -Werror -I"$1" -c "$2" -o "$3/$(basename "$2" .c).o"' \
  sh "$inc" {} "$obj"
mkdir -p "$prefix/lib"
emar rcs "$prefix/lib/liballeg.a" "$obj"/*.o
mv "$inc" "$prefix/include"
finish_allegro_build
