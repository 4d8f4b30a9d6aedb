/* The browser platform's driver lists: its own system, graphics, keyboard,
 * timer and joystick (the page's gamepads) drivers; no sound or mouse:
 * install_sound finds its "none" drivers and succeeds quietly. */

#include "allegro.h"
#include "allegro/internal/aintern.h"

_DRIVER_INFO _system_driver_list[] =
{
   { SYSTEM_WEB,   &system_web,   TRUE  },
   { SYSTEM_NONE,  &system_none,  FALSE },
   { 0,            NULL,          0     }
};

_DRIVER_INFO _keyboard_driver_list[] =
{
   { KEYBOARD_WEB, &keyboard_web, TRUE  },
   { 0,            NULL,          0     }
};

_DRIVER_INFO _timer_driver_list[] =
{
   { TIMER_WEB,    &timer_web,    TRUE  },
   { 0,            NULL,          0     }
};

_DRIVER_INFO _gfx_driver_list[] =
{
   { GFX_WEB,      &gfx_web,      TRUE  },
   { 0,            NULL,          0     }
};

_DRIVER_INFO _joystick_driver_list[] =
{
   { JOYSTICK_WEB, &joystick_web, TRUE  },
   { 0,            NULL,          0     }
};

BEGIN_DIGI_DRIVER_LIST
END_DIGI_DRIVER_LIST

BEGIN_MIDI_DRIVER_LIST
END_MIDI_DRIVER_LIST
