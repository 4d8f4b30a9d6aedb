/* The browser's graphics driver: the screen is a 32-bit memory bitmap of
 * any size, in Allegro's usual layout (0x00RRGGBB), and the canvas
 * (Module.canvas) shows it. The rows drawn on are noted through the
 * screen's write_bank hook, which every drawing routine calls for each row
 * it writes; when the program sleeps, they go to the canvas, converted to
 * RGBA, and the whole picture is put at once: a game that draws its whole
 * background every frame has every row drawn anyway, and putting only the
 * rows that changed saved nothing measurable of the page's own time. */

#include <math.h>
#include <stdint.h>
#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "webintern.h"

/* Sizes the canvas's picture to the screen and tells the page
 * (Module.onCanvasSize). In Chromium the canvas hands its picture over to
 * an OffscreenCanvas (transferControlToOffscreen): what is put on that
 * goes straight to the compositor, without the page being painted and
 * committed again every frame, which is most of what a frame costs the
 * page there. Firefox and WebKit have OffscreenCanvas too, but there one
 * on the page's thread costs more than the canvas itself (the bench's
 * engine tables: with it the title costs 1.8 and 1.4 times a bare page
 * that puts a picture as often, without it 1.1 and 1.2), so they keep the
 * canvas. Chromium is the browser with navigator.userAgentData. The canvas
 * element then keeps the size it had, so the page learns the screen's
 * size from onCanvasSize. */
EM_JS(int, kv_web_canvas_size, (int w, int h), {
   var canvas = Module.canvas;
   if (!canvas || !canvas.getContext)
      return 0;
   if (!Module.kvWebScreen)
      Module.kvWebScreen = canvas.transferControlToOffscreen && navigator.userAgentData ?
                           canvas.transferControlToOffscreen() : canvas;
   var screen = Module.kvWebScreen;
   screen.width = w;
   screen.height = h;
   if (!screen.getContext('2d'))
      return 0;
   Module.kvWebImage = null;
   if (typeof Module.onCanvasSize === 'function')
      Module.onCanvasSize(w, h);
   return 1;
});

/* The picture is put from the program's memory as it is: the ImageData
 * over it is made once, and again only when the memory has grown (which
 * gives it a new buffer) or the screen another size. The page hears of
 * the first (Module.onFirstPicture). */
EM_JS(void, kv_web_canvas_put, (const void *rgba, int w, int h), {
   var image = Module.kvWebImage;
   if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba || image.width !== w)
      image = Module.kvWebImage = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4), w, h);
   Module.kvWebScreen.getContext('2d').putImageData(image, 0, 0);
   if (Module.onFirstPicture) {
      var first = Module.onFirstPicture;
      Module.onFirstPicture = null;
      first();
   }
});

static BITMAP *web_init(int w, int h, int v_w, int v_h, int color_depth);
static void web_exit(BITMAP *b);
static void web_vsync(void);

GFX_DRIVER gfx_web =
{
   GFX_WEB,
   empty_string,
   empty_string,
   "Browser canvas",
   web_init,
   web_exit,
   NULL,                         /* scroll */
   web_vsync,
   NULL,                         /* set_palette: no 8-bit screen */
   NULL, NULL, NULL,             /* request_scroll, poll_scroll, enable_triple_buffer */
   NULL, NULL, NULL, NULL,       /* video bitmaps: memory ones do as well */
   NULL, NULL,                   /* system bitmaps */
   NULL, NULL, NULL, NULL,       /* mouse */
   NULL,                         /* drawing_mode */
   NULL, NULL,                   /* save_video_state, restore_video_state */
   NULL,                         /* set_blender_mode */
   NULL,                         /* fetch_mode_list */
   0, 0,                         /* physical screen size */
   TRUE,                         /* linear */
   0, 0, 0, 0,                   /* banks, video memory */
   TRUE                          /* windowed: a canvas in a page */
};

static uint32_t *pixels;      /* the screen's memory */
static uint32_t *rgba;        /* what the canvas was last given */
static int screen_w, screen_h;
static int dirty_top, dirty_bottom;  /* rows drawn on since; none when top > bottom */

/* Allegro's usual truecolour layout (red high, blue low), as the X11 and
 * Windows drivers set it; the library's own default has red low. Set from
 * allegro_init on, so that bitmaps made before the screen match it. */
void _web_pixel_format(void)
{
   _rgb_r_shift_15 = 10; _rgb_g_shift_15 = 5; _rgb_b_shift_15 = 0;
   _rgb_r_shift_16 = 11; _rgb_g_shift_16 = 5; _rgb_b_shift_16 = 0;
   _rgb_r_shift_24 = 16; _rgb_g_shift_24 = 8; _rgb_b_shift_24 = 0;
   _rgb_r_shift_32 = 16; _rgb_g_shift_32 = 8; _rgb_b_shift_32 = 0;
   _rgb_a_shift_32 = 24;
}

static uintptr_t web_write_line(BITMAP *bmp, int line)
{
   int y = line + bmp->y_ofs;  /* sub-bitmaps of the screen too */

   if (y < dirty_top)
      dirty_top = y;
   if (y > dirty_bottom)
      dirty_bottom = y;
   return (uintptr_t)bmp->line[line];
}

/* 0x00RRGGBB to the bytes R, G, B, 255, two pixels at a time: red and blue
 * change places, green stays, alpha comes in. */
static uint64_t to_rgba(uint64_t two)
{
   uint64_t red_blue = two & 0x00FF00FF00FF00FFull;

   return ((red_blue << 16) & 0x00FF000000FF0000ull) | ((red_blue >> 16) & 0x000000FF000000FFull) |
          (two & 0x0000FF000000FF00ull) | 0xFF000000FF000000ull;
}

void _web_show_screen(void)
{
   const uint64_t *from;
   uint64_t *to, *end;

   if (!pixels || dirty_top > dirty_bottom)
      return;
   if (dirty_top < 0)
      dirty_top = 0;
   if (dirty_bottom >= screen_h)
      dirty_bottom = screen_h - 1;
   from = (const uint64_t *)(pixels + dirty_top * screen_w);
   to = (uint64_t *)(rgba + dirty_top * screen_w);
   end = (uint64_t *)(rgba + (dirty_bottom + 1) * screen_w);
   while (to < end)
      *to++ = to_rgba(*from++);
   dirty_top = screen_h;
   dirty_bottom = -1;
   kv_web_canvas_put(rgba, screen_w, screen_h);
}

static BITMAP *web_init(int w, int h, int v_w, int v_h, int color_depth)
{
   BITMAP *b;

   if (color_depth != 32) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Unsupported color depth"));
      return NULL;
   }
   /* an even width: the rows are converted two pixels at a time */
   if (w <= 0 || h <= 0 || w > 8192 || h > 8192 || w % 2) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Resolution not supported"));
      return NULL;
   }
   if ((v_w && v_w != w) || (v_h && v_h != h)) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Virtual screen not supported"));
      return NULL;
   }
   pixels = _AL_MALLOC_ATOMIC((size_t)w * h * 4);
   rgba = _AL_MALLOC_ATOMIC((size_t)w * h * 4);
   b = (pixels && rgba) ? _make_bitmap(w, h, (uintptr_t)pixels, &gfx_web, 32, w * 4) : NULL;
   if (!b) {
      web_exit(NULL);
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Not enough memory"));
      return NULL;
   }
   if (!kv_web_canvas_size(w, h)) {
      _AL_FREE(b);
      web_exit(NULL);
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("No canvas (Module.canvas) to draw on"));
      return NULL;
   }
   _web_pixel_format();
   b->write_bank = web_write_line;
   screen_w = gfx_web.w = w;
   screen_h = gfx_web.h = h;
   /* set_gfx_mode clears the screen next: the canvas gets that black */
   dirty_top = 0;
   dirty_bottom = h - 1;
   _set_current_refresh_rate(60);
   return b;
}

static void web_exit(BITMAP *b)
{
   (void)b;
   /* the last picture stays on the canvas (set_gfx_mode(GFX_TEXT), allegro_exit) */
   _web_show_screen();
   _AL_FREE(pixels);
   _AL_FREE(rgba);
   pixels = rgba = NULL;
   screen_w = screen_h = 0;
}

/* No retrace to wait for: the next sixtieth of a second will do. */
static void web_vsync(void)
{
   double frame = 1000.0 / 60;
   double now = emscripten_get_now();

   _web_sleep(frame - fmod(now, frame));
}
