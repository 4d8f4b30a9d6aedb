/* Allegro's configuration for the browser (Emscripten's libc, wasm32):
 * what the library asks of a platform, without CMake to probe for it. */
#ifndef ALWEBCFG_H
#define ALWEBCFG_H

#ifndef SCAN_DEPEND
   #include <fcntl.h>
   #include <unistd.h>
#endif

#define ALLEGRO_PLATFORM_STR  "Web"
#define ALLEGRO_LITTLE_ENDIAN
/* No magic main: END_OF_MAIN() is empty and main stays main, the name
 * the page calls it by. */
/* registration functions run only for the parts a program links */
#define ALLEGRO_USE_CONSTRUCTOR

#define ALLEGRO_HAVE_DIRENT_H   1
#define ALLEGRO_HAVE_INTTYPES_H 1
#define ALLEGRO_HAVE_STDINT_H   1
#define ALLEGRO_HAVE_SYS_TIME_H 1
#define ALLEGRO_HAVE_SYS_STAT_H 1
#define ALLEGRO_HAVE_MKSTEMP    1

/* musl has strcasecmp but not these: the library's own versions */
#define ALLEGRO_NO_STRICMP
#define ALLEGRO_NO_STRLWR
#define ALLEGRO_NO_STRUPR

#define ALLEGRO_EXTRA_HEADER  "allegro/platform/alweb.h"

#endif
