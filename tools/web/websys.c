/* The browser's system driver: the page's title for the window's, the
 * window or the canvas (which takes the keys) losing the focus, or the page
 * being hidden, for a display switch
 * (the program carries on in the background, so SWITCH_BACKGROUND and
 * SWITCH_BACKAMNESIA are the modes there are), and rest(0) as one turn of
 * the browser's event loop. */

#include <stdio.h>
#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "webintern.h"

EM_JS(void, kv_web_set_title, (const char *title), {
   document.title = UTF8ToString(title);
});

EM_JS(void, kv_web_screen_size, (int *w, int *h), {
   HEAP32[w >> 2] = window.screen ? window.screen.width : 0;
   HEAP32[h >> 2] = window.screen ? window.screen.height : 0;
});

static int switched_out = FALSE;

/* Called by the page when it loses or regains the player's attention;
 * the switch callbacks must not sleep, as the program may be asleep. */
EMSCRIPTEN_KEEPALIVE void kv_web_switch(int out)
{
   if (out == switched_out)
      return;
   switched_out = out;
   if (out)
      _switch_out();
   else
      _switch_in();
}

EM_JS(void, kv_web_switch_start, (void), {
   var sw = {};
   sw.check = function () {
      var away = document.visibilityState === 'hidden' || !document.hasFocus() ||
                 (Module.canvas && document.activeElement !== Module.canvas);
      Module._kv_web_switch(away ? 1 : 0);
   };
   sw.out = function () { Module._kv_web_switch(1); };
   sw.canvas = Module.canvas;
   window.addEventListener('blur', sw.out);
   window.addEventListener('focus', sw.check);
   document.addEventListener('visibilitychange', sw.check);
   if (sw.canvas) {
      sw.canvas.addEventListener('blur', sw.out);
      sw.canvas.addEventListener('focus', sw.check);
   }
   Module.kvWebSwitch = sw;
});

EM_JS(void, kv_web_switch_stop, (void), {
   var sw = Module.kvWebSwitch;
   if (!sw)
      return;
   window.removeEventListener('blur', sw.out);
   window.removeEventListener('focus', sw.check);
   document.removeEventListener('visibilitychange', sw.check);
   if (sw.canvas) {
      sw.canvas.removeEventListener('blur', sw.out);
      sw.canvas.removeEventListener('focus', sw.check);
   }
   delete Module.kvWebSwitch;
});

static int web_sys_init(void)
{
   os_type = OSTYPE_UNKNOWN;
   _web_pixel_format();
   switched_out = FALSE;
   kv_web_switch_start();
   return 0;
}

static void web_sys_exit(void)
{
   kv_web_switch_stop();
}

static void web_set_window_title(AL_CONST char *name)
{
   char tmp[512];

   kv_web_set_title(uconvert(name, U_CURRENT, tmp, U_UTF8, sizeof(tmp)));
}

/* No message box: the page's console has stderr. */
static void web_message(AL_CONST char *msg)
{
   char tmp[ALLEGRO_MESSAGE_SIZE];

   fputs(uconvert(msg, U_CURRENT, tmp, U_UTF8, sizeof(tmp)), stderr);
   fflush(stderr);
}

static int web_set_display_switch_mode(int mode)
{
   return (mode == SWITCH_BACKGROUND || mode == SWITCH_BACKAMNESIA) ? 0 : -1;
}

static int web_desktop_color_depth(void)
{
   return 32;
}

static int web_get_desktop_resolution(int *width, int *height)
{
   kv_web_screen_size(width, height);
   return (*width > 0 && *height > 0) ? 0 : -1;
}

static void web_get_gfx_safe_mode(int *driver, struct GFX_MODE *mode)
{
   *driver = GFX_WEB;
   mode->width = 320;
   mode->height = 240;
   mode->bpp = 32;
}

static void web_yield_timeslice(void)
{
   _web_sleep(0);
}

SYSTEM_DRIVER system_web =
{
   SYSTEM_WEB,
   empty_string,
   empty_string,
   "Browser",
   web_sys_init,
   web_sys_exit,
   NULL,                         /* get_executable_name: "./" */
   NULL,                         /* find_resource */
   web_set_window_title,
   NULL,                         /* set_close_button_callback: a page has none */
   web_message,
   NULL,                         /* assert */
   NULL, NULL,                   /* save_console_state, restore_console_state */
   NULL, NULL, NULL, NULL, NULL, /* bitmaps: the library's memory ones */
   NULL, NULL,                   /* read_hardware_palette, set_palette_range */
   NULL,                         /* get_vtable */
   web_set_display_switch_mode,
   NULL,                         /* display_switch_lock */
   web_desktop_color_depth,
   web_get_desktop_resolution,
   web_get_gfx_safe_mode,
   web_yield_timeslice,
   NULL, NULL, NULL, NULL,       /* mutexes: one thread */
   NULL, NULL, NULL, NULL, NULL, NULL, NULL  /* driver lists: webdrv.c's */
};
