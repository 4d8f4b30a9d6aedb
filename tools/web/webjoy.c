/* The browser's joystick driver: the page's gamepads (the Gamepad API's
 * navigator.getGamepads(), which the browser shows a page only once one of
 * the pad's buttons was pressed), read when the program polls, once a
 * frame. Each connected pad is a joystick: its axes in pairs as sticks
 * (with the "standard" mapping stick 0 is the left stick, stick 1 the
 * right), its buttons in the page's order (standard: 0 south, 1 east, 2
 * west, 3 north, 4-7 shoulders and triggers, 8 back, 9 start, 10-11 the
 * sticks pressed, 12-15 the d-pad up, down, left, right, 16 home). The
 * pads are counted when the driver is installed; a program installs it
 * again to take new ones. A poll that finds a pad gone fails, with the
 * pad's state let go. */

#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"

/* What the page tells of a pad: connected, its buttons pressed (a bit
 * each), how many buttons and axes, and the axes from -128 to 128. */
#define PAD_AXES  (MAX_JOYSTICK_STICKS * 2)
#define PAD_WORDS (4 + PAD_AXES)

/* The pads connected now, noted by their place in getGamepads(); their
 * count. */
EM_JS(int, kv_web_pads_find, (int most), {
   var found = [];
   try {
      var pads = navigator.getGamepads ? navigator.getGamepads() : [];
      for (var i = 0; i < pads.length && found.length < most; i++)
         if (pads[i] && pads[i].connected)
            found.push(pads[i].index);
   } catch (e) {
      /* the page may not read pads (a frame forbidden them): none */
   }
   Module.kvWebPads = found;
   return found.length;
});

/* The noted pads' states into words, PAD_WORDS a pad. */
EM_JS(void, kv_web_pads_read, (int *words, int axes, int size), {
   var found = Module.kvWebPads || [];
   var pads = [];
   try {
      pads = navigator.getGamepads ? navigator.getGamepads() : [];
   } catch (e) {
   }
   for (var n = 0; n < found.length; n++) {
      var at = (words >> 2) + n * size, pad = pads[found[n]];
      HEAP32.fill(0, at, at + size);
      if (!pad || !pad.connected)
         continue;
      var pressed = 0;
      for (var b = 0; b < pad.buttons.length && b < 32; b++)
         if (pad.buttons[b].pressed)
            pressed |= 1 << b;
      HEAP32[at] = 1;
      HEAP32[at + 1] = pressed;
      HEAP32[at + 2] = pad.buttons.length;
      HEAP32[at + 3] = pad.axes.length;
      for (var a = 0; a < pad.axes.length && a < axes; a++)
         HEAP32[at + 4 + a] = Math.max(-128, Math.min(128, Math.round(pad.axes[a] * 128)));
   }
});

static int state[MAX_JOYSTICKS][PAD_WORDS];

static const char *const stick_names[MAX_JOYSTICK_STICKS] = {"Stick 1", "Stick 2", "Stick 3", "Stick 4", "Stick 5"};
static const char *const axis_names[2] = {"X", "Y"};

static int web_joy_poll(void);

static int web_joy_init(void)
{
   int n, s, b;

   num_joysticks = kv_web_pads_find(MAX_JOYSTICKS);
   if (num_joysticks == 0)
      return -1;
   kv_web_pads_read(&state[0][0], PAD_AXES, PAD_WORDS);
   for (n = 0; n < num_joysticks; n++) {
      joy[n].flags = JOYFLAG_ANALOGUE | JOYFLAG_SIGNED;
      joy[n].num_buttons = MIN(state[n][2], MAX_JOYSTICK_BUTTONS);
      joy[n].num_sticks = MIN((state[n][3] + 1) / 2, MAX_JOYSTICK_STICKS);
      for (s = 0; s < joy[n].num_sticks; s++) {
         joy[n].stick[s].flags = JOYFLAG_ANALOGUE | JOYFLAG_SIGNED;
         joy[n].stick[s].num_axis = 2;
         joy[n].stick[s].name = stick_names[s];
         joy[n].stick[s].axis[0].name = axis_names[0];
         joy[n].stick[s].axis[1].name = axis_names[1];
      }
      for (b = 0; b < joy[n].num_buttons; b++)
         joy[n].button[b].name = "Button";
   }
   web_joy_poll();
   return 0;
}

static void web_joy_exit(void)
{
}

static int web_joy_poll(void)
{
   int n, s, a, b, pos, gone = FALSE;

   kv_web_pads_read(&state[0][0], PAD_AXES, PAD_WORDS);
   for (n = 0; n < num_joysticks; n++) {
      gone |= !state[n][0];
      for (b = 0; b < joy[n].num_buttons; b++)
         joy[n].button[b].b = (state[n][1] >> b) & 1;
      for (s = 0; s < joy[n].num_sticks; s++) {
         for (a = 0; a < 2; a++) {
            pos = state[n][4 + s * 2 + a];
            joy[n].stick[s].axis[a].pos = pos;
            joy[n].stick[s].axis[a].d1 = pos < -64;
            joy[n].stick[s].axis[a].d2 = pos > 64;
         }
      }
   }
   return gone ? -1 : 0;
}

JOYSTICK_DRIVER joystick_web =
{
   JOYSTICK_WEB,
   empty_string,
   empty_string,
   "Browser gamepads",
   web_joy_init,
   web_joy_exit,
   web_joy_poll,
   NULL, NULL,   /* save_data, load_data: nothing to calibrate */
   NULL, NULL    /* calibrate_name, calibrate */
};
