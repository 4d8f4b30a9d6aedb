/* The browser platform's drivers, for programs that name them (the
 * GFX_AUTODETECT* ids find them as well). */
#ifndef ALWEB_H
#define ALWEB_H

#ifndef ALLEGRO_WEB
   #error bad include
#endif

#define SYSTEM_WEB              AL_ID('W','E','B',' ')
AL_VAR(SYSTEM_DRIVER, system_web);

#define TIMER_WEB               AL_ID('W','E','B','T')
AL_VAR(TIMER_DRIVER, timer_web);

#define KEYBOARD_WEB            AL_ID('W','E','B','K')
AL_VAR(KEYBOARD_DRIVER, keyboard_web);

#define GFX_WEB                 AL_ID('W','E','B','G')
AL_VAR(GFX_DRIVER, gfx_web);

#define JOYSTICK_WEB            AL_ID('W','E','B','J')
AL_VAR(JOYSTICK_DRIVER, joystick_web);

#endif
