/* Allegro's platform choice for the browser, installed by build-allegro.sh
 * as allegro/platform/alplatf.h, the file the library's own CMake writes on
 * the other platforms. No assembler and the C drivers, as on every 4.4. */
#define ALLEGRO_WEB
#define ALLEGRO_NO_ASM
#define ALLEGRO_USE_C
