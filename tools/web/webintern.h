/* What the browser drivers share among themselves (not installed). */
#ifndef WEBINTERN_H
#define WEBINTERN_H

/* Sets the truecolour pixel layouts the screen uses. */
void _web_pixel_format(void);

/* Puts what was drawn on the screen since last time on the canvas. */
void _web_show_screen(void);

/* Shows the screen, gives the page back to the browser until its clock
 * (emscripten_get_now) reads until, at least one turn of its event loop,
 * then runs the timer callbacks for the time that has passed. */
void _web_sleep_until(double until);
/* The same for ms milliseconds from now (0: one turn of the event loop). */
void _web_sleep(double ms);

#endif
