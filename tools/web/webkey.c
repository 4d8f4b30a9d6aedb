/* The browser's keyboard: keydown and keyup on the canvas (the page gives
 * it the focus), KeyboardEvent.code (the key's place on a PC keyboard)
 * turned into KEY_* scancodes and given to the library's own handlers.
 * F11 and any key pressed with Ctrl or Meta held stay the browser's; a key
 * the game takes has its default action prevented (arrows and space do not
 * scroll, Tab does not move the focus). The canvas or the window losing
 * the focus, or the page being hidden, lets go of every held key: their
 * keyup would go elsewhere. The event handlers call in while the program
 * sleeps in kv_web_sleep, so nothing here may sleep. */

#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"

static const struct { const char *code; int scancode; } web_keys[] =
{
   {"KeyA", KEY_A}, {"KeyB", KEY_B}, {"KeyC", KEY_C}, {"KeyD", KEY_D},
   {"KeyE", KEY_E}, {"KeyF", KEY_F}, {"KeyG", KEY_G}, {"KeyH", KEY_H},
   {"KeyI", KEY_I}, {"KeyJ", KEY_J}, {"KeyK", KEY_K}, {"KeyL", KEY_L},
   {"KeyM", KEY_M}, {"KeyN", KEY_N}, {"KeyO", KEY_O}, {"KeyP", KEY_P},
   {"KeyQ", KEY_Q}, {"KeyR", KEY_R}, {"KeyS", KEY_S}, {"KeyT", KEY_T},
   {"KeyU", KEY_U}, {"KeyV", KEY_V}, {"KeyW", KEY_W}, {"KeyX", KEY_X},
   {"KeyY", KEY_Y}, {"KeyZ", KEY_Z},
   {"Digit0", KEY_0}, {"Digit1", KEY_1}, {"Digit2", KEY_2}, {"Digit3", KEY_3},
   {"Digit4", KEY_4}, {"Digit5", KEY_5}, {"Digit6", KEY_6}, {"Digit7", KEY_7},
   {"Digit8", KEY_8}, {"Digit9", KEY_9},
   {"Numpad0", KEY_0_PAD}, {"Numpad1", KEY_1_PAD}, {"Numpad2", KEY_2_PAD},
   {"Numpad3", KEY_3_PAD}, {"Numpad4", KEY_4_PAD}, {"Numpad5", KEY_5_PAD},
   {"Numpad6", KEY_6_PAD}, {"Numpad7", KEY_7_PAD}, {"Numpad8", KEY_8_PAD},
   {"Numpad9", KEY_9_PAD},
   {"F1", KEY_F1}, {"F2", KEY_F2}, {"F3", KEY_F3}, {"F4", KEY_F4},
   {"F5", KEY_F5}, {"F6", KEY_F6}, {"F7", KEY_F7}, {"F8", KEY_F8},
   {"F9", KEY_F9}, {"F10", KEY_F10}, {"F12", KEY_F12},  /* F11: the browser's */
   {"Escape", KEY_ESC}, {"Backquote", KEY_TILDE}, {"Minus", KEY_MINUS},
   {"Equal", KEY_EQUALS}, {"Backspace", KEY_BACKSPACE}, {"Tab", KEY_TAB},
   {"BracketLeft", KEY_OPENBRACE}, {"BracketRight", KEY_CLOSEBRACE},
   {"Enter", KEY_ENTER}, {"Semicolon", KEY_COLON}, {"Quote", KEY_QUOTE},
   {"Backslash", KEY_BACKSLASH}, {"IntlBackslash", KEY_BACKSLASH2},
   {"Comma", KEY_COMMA}, {"Period", KEY_STOP}, {"Slash", KEY_SLASH},
   {"Space", KEY_SPACE},
   {"Insert", KEY_INSERT}, {"Delete", KEY_DEL}, {"Home", KEY_HOME},
   {"End", KEY_END}, {"PageUp", KEY_PGUP}, {"PageDown", KEY_PGDN},
   {"ArrowLeft", KEY_LEFT}, {"ArrowRight", KEY_RIGHT}, {"ArrowUp", KEY_UP},
   {"ArrowDown", KEY_DOWN},
   {"NumpadDivide", KEY_SLASH_PAD}, {"NumpadMultiply", KEY_ASTERISK},
   {"NumpadSubtract", KEY_MINUS_PAD}, {"NumpadAdd", KEY_PLUS_PAD},
   {"NumpadDecimal", KEY_DEL_PAD}, {"NumpadEnter", KEY_ENTER_PAD},
   {"NumpadEqual", KEY_EQUALS_PAD},
   {"PrintScreen", KEY_PRTSCR}, {"Pause", KEY_PAUSE},
   {"IntlRo", KEY_ABNT_C1}, {"IntlYen", KEY_YEN}, {"KanaMode", KEY_KANA},
   {"Convert", KEY_CONVERT}, {"NonConvert", KEY_NOCONVERT},
   {"ShiftLeft", KEY_LSHIFT}, {"ShiftRight", KEY_RSHIFT},
   {"ControlLeft", KEY_LCONTROL}, {"ControlRight", KEY_RCONTROL},
   {"AltLeft", KEY_ALT}, {"AltRight", KEY_ALTGR},
   {"MetaLeft", KEY_LWIN}, {"MetaRight", KEY_RWIN}, {"ContextMenu", KEY_MENU},
   {"ScrollLock", KEY_SCRLOCK}, {"NumLock", KEY_NUMLOCK}, {"CapsLock", KEY_CAPSLOCK}
};

/* The modifier bits the page passes (see kv_web_keyboard_start). */
#define WEB_SHIFT   1
#define WEB_CTRL    2
#define WEB_ALT     4
#define WEB_META    8
#define WEB_CAPS    16
#define WEB_NUM     32
#define WEB_SCROLL  64

static int is_modifier(int scancode)
{
   return scancode >= KEY_MODIFIERS;
}

/* Called by the page for a key the game takes. */
EMSCRIPTEN_KEEPALIVE void kv_web_key(int scancode, int keycode, int down, int mods)
{
   int shifts = 0;

   if (!keyboard_driver || scancode <= 0 || scancode >= KEY_MAX)
      return;
   if (mods & WEB_SHIFT) shifts |= KB_SHIFT_FLAG;
   if (mods & WEB_CTRL) shifts |= KB_CTRL_FLAG;
   if (mods & WEB_ALT) shifts |= KB_ALT_FLAG;
   if (mods & WEB_META) shifts |= KB_LWIN_FLAG;
   if (mods & WEB_CAPS) shifts |= KB_CAPSLOCK_FLAG;
   if (mods & WEB_NUM) shifts |= KB_NUMLOCK_FLAG;
   if (mods & WEB_SCROLL) shifts |= KB_SCROLOCK_FLAG;
   _key_shifts = shifts;
   if (down)
      _handle_key_press(is_modifier(scancode) ? -1 : keycode, scancode);
   else
      _handle_key_release(scancode);
}

/* Called by the page when the keys' keyups may go elsewhere. */
EMSCRIPTEN_KEEPALIVE void kv_web_let_go(void)
{
   int i;

   if (!keyboard_driver)
      return;
   _key_shifts &= KB_CAPSLOCK_FLAG | KB_NUMLOCK_FLAG | KB_SCROLOCK_FLAG;
   for (i = 1; i < KEY_MAX; i++)
      if (key[i])
         _handle_key_release(i);
}

EM_JS(void, kv_web_keyboard_map, (const char *code, int scancode), {
   Module.kvWebKeyboard.map[UTF8ToString(code)] = scancode;
});

EM_JS(int, kv_web_keyboard_start, (void), {
   var canvas = Module.canvas;
   if (!canvas || !canvas.addEventListener)
      return 0;
   var kb = {map: {}, held: {}};
   var mods = function (e) {
      return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0) | (e.metaKey ? 8 : 0) |
         (e.getModifierState && e.getModifierState('CapsLock') ? 16 : 0) |
         (e.getModifierState && e.getModifierState('NumLock') ? 32 : 0) |
         (e.getModifierState && e.getModifierState('ScrollLock') ? 64 : 0);
   };
   /* what the key types: a character, or the control codes Allegro gives */
   var typed = function (e) {
      var k = e.key;
      if (typeof k === 'string' && k.length > 0 && k.length === String.fromCodePoint(k.codePointAt(0)).length)
         return k.codePointAt(0);
      return {Enter: 13, Tab: 9, Backspace: 8, Escape: 27, Delete: 127}[k] || 0;
   };
   var modifierCodes = /^(Shift|Control|Alt|Meta)(Left|Right)$/;
   kb.down = function (e) {
      var sc = kb.map[e.code];
      if (!sc || ((e.ctrlKey || e.metaKey) && !modifierCodes.test(e.code)))
         return;
      e.preventDefault();
      kb.held[e.code] = true;
      Module._kv_web_key(sc, typed(e), 1, mods(e));
   };
   kb.up = function (e) {
      if (!kb.held[e.code])
         return;
      e.preventDefault();
      delete kb.held[e.code];
      Module._kv_web_key(kb.map[e.code], 0, 0, mods(e));
   };
   kb.letGo = function () {
      kb.held = {};
      Module._kv_web_let_go();
   };
   kb.hidden = function () {
      if (document.visibilityState === 'hidden')
         kb.letGo();
   };
   kb.canvas = canvas;
   canvas.addEventListener('keydown', kb.down);
   canvas.addEventListener('keyup', kb.up);
   canvas.addEventListener('blur', kb.letGo);
   window.addEventListener('blur', kb.letGo);
   document.addEventListener('visibilitychange', kb.hidden);
   Module.kvWebKeyboard = kb;
   return 1;
});

EM_JS(void, kv_web_keyboard_stop, (void), {
   var kb = Module.kvWebKeyboard;
   if (!kb)
      return;
   kb.canvas.removeEventListener('keydown', kb.down);
   kb.canvas.removeEventListener('keyup', kb.up);
   kb.canvas.removeEventListener('blur', kb.letGo);
   window.removeEventListener('blur', kb.letGo);
   document.removeEventListener('visibilitychange', kb.hidden);
   delete Module.kvWebKeyboard;
});

static int web_keyboard_init(void)
{
   unsigned i;

   if (!kv_web_keyboard_start()) {
      ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("No canvas (Module.canvas) for the keyboard"));
      return -1;
   }
   for (i = 0; i < sizeof web_keys / sizeof web_keys[0]; i++)
      kv_web_keyboard_map(web_keys[i].code, web_keys[i].scancode);
   return 0;
}

static void web_keyboard_exit(void)
{
   kv_web_keyboard_stop();
}

KEYBOARD_DRIVER keyboard_web =
{
   KEYBOARD_WEB,
   empty_string,
   empty_string,
   "Browser keyboard",
   FALSE,                        /* autorepeat: the browser repeats keydowns itself */
   web_keyboard_init,
   web_keyboard_exit,
   NULL,                         /* poll: the events come by themselves */
   NULL, NULL,                   /* set_leds, set_rate */
   NULL, NULL,                   /* wait_for_input, stop_waiting_for_input */
   NULL, NULL                    /* scancode_to_ascii, scancode_to_name: the library's tables */
};
