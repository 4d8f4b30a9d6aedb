/* The browser's timer. A page has no threads to run the install_int
 * callbacks, so the library runs them itself each time it has slept; and
 * it sleeps only in rest() (and vsync), where the screen goes to the canvas
 * and the page is given back to the browser through Asyncify until the
 * time is up.
 *
 * The callbacks run on the program's clock: up to the time each sleep was
 * to end, not to whenever the browser woke the page. A page woken late (a
 * busy phone, a garbage collection) thus loses nothing: the next rest,
 * which the program counts from where its clock stands, is that much
 * shorter, so a game that waits for its timer keeps its pace on average
 * however late single wake-ups come. Only a page woken more than a frame
 * late (a hidden tab, a page that froze) lets the time go, as a desktop
 * does. And since the callbacks run only when the program wakes, a rest
 * ends just after the callback due in its last millisecond rather than
 * between two of them: rest(ms) lasts ms, or up to a millisecond less, and
 * a program that waits for a 1 ms callback's count wakes once a wait. */

#include <math.h>
#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "webintern.h"

/* The one function that sleeps (the program lists it in ASYNCIFY_IMPORTS),
 * until the page's clock reads until: a deadline, not a delay, so that the
 * time the page takes to show the screen before it sleeps is not added.
 * postTask where there is one; without it (Safari, every iPhone), one
 * setTimeout for all that is left. Chained from a timer, a setTimeout is
 * clamped to 4 ms and more, which only a timer fired more than a
 * millisecond early would meet, and the program's clock makes good a wake
 * that late. (Messages are not clamped, but posting them in a loop for a
 * frame's last milliseconds, as this once did, costs a fifth of a core,
 * and in WebKit each message goes through another process.) Timers fire
 * up to a millisecond early (Chromium counts their delays in whole
 * milliseconds): that much early counts as on time, since the callbacks
 * then run up to the deadline all the same; a timer that fires earlier is
 * followed by another for what is left, in the page alone, so the program
 * wakes only once. It always gives the browser one turn of its event loop. */
EM_JS(void, kv_web_sleep, (double until), {
   Asyncify.handleSleep(function (wakeUp) {
      var later = function (step, left) {
         if (typeof scheduler !== 'undefined' && scheduler.postTask && left > 0)
            scheduler.postTask(step, {delay: left});
         else
            setTimeout(step, Math.max(0, left));
      };
      var step = function () {
         var left = until - performance.now();
         if (left > 1)
            later(step, left);
         else
            wakeUp();
      };
      later(step, until - performance.now());
   });
});

static int timer_on = FALSE;
static double ran_to;  /* the program's clock: the page's time the callbacks have run to */

/* How late a wake-up may be and still be made good: the callbacks then
 * run only up to the time the sleep was to end, and the next sleep, which
 * the program counts from there, is that much shorter. A later one (a
 * hidden tab, a page that froze) lets the time go, as a desktop would. */
#define MAKE_GOOD_MS 20.0

/* Runs the callbacks due up to the page's time to. */
static void run_callbacks_to(double to)
{
   double ticks;
   int step;

   ticks = floor((to - ran_to) * (TIMERS_PER_SECOND / 1000.0));
   if (ticks < 1)
      return;
   ran_to += ticks * (1000.0 / TIMERS_PER_SECOND);
   /* _handle_timer_tick takes an int: an hour in a hidden tab is more */
   while (ticks > 0) {
      step = ticks > 0x10000000 ? 0x10000000 : (int)ticks;
      _handle_timer_tick(step);
      ticks -= step;
   }
}

/* When the first callback due at or after at (the page's time) runs, or
 * -1 with no timer installed. */
static double callback_due(double at)
{
   double soonest = -1, due, period;
   int i;

   for (i = 0; i < MAX_TIMERS; i++) {
      if ((!_timer_queue[i].proc && !_timer_queue[i].param_proc) || _timer_queue[i].speed <= 0)
         continue;
      period = _timer_queue[i].speed * (1000.0 / TIMERS_PER_SECOND);
      due = ran_to + _timer_queue[i].counter * (1000.0 / TIMERS_PER_SECOND);
      if (due < at)
         due += ceil((at - due) / period) * period;
      if (soonest < 0 || due < soonest)
         soonest = due;
   }
   return soonest;
}

void _web_sleep_until(double until)
{
   double now;

   _web_show_screen();
   kv_web_sleep(until);
   if (timer_on) {
      now = emscripten_get_now();
      run_callbacks_to(until > now - MAKE_GOOD_MS ? until : now - MAKE_GOOD_MS);
   }
}

void _web_sleep(double ms)
{
   _web_sleep_until(emscripten_get_now() + ms);
}

/* rest(ms) is counted on the program's clock, and ends just after the
 * callback due in its last millisecond. */
static void web_rest(unsigned int ms, void (*callback)(void))
{
   double until = emscripten_get_now() + ms;
   double left, due;

   if (callback) {
      while ((left = until - emscripten_get_now()) > 0) {
         callback();
         _web_sleep(left < 1 ? left : 1);
      }
      return;
   }
   if (timer_on && ms > 0) {
      until = ran_to + ms;
      /* a few microseconds after it, so that the wake-up sees it due */
      due = callback_due(until - 1);
      if (due >= 0 && due < until)
         until = due + 0.02;
   }
   _web_sleep_until(until);
}

static int web_timer_init(void)
{
   ran_to = emscripten_get_now();
   timer_on = TRUE;
   return 0;
}

static void web_timer_exit(void)
{
   timer_on = FALSE;
}

TIMER_DRIVER timer_web =
{
   TIMER_WEB,
   empty_string,
   empty_string,
   "Browser timer",
   web_timer_init,
   web_timer_exit,
   NULL, NULL,   /* install_int, remove_int: the library's queue */
   NULL, NULL,   /* install_param_int, remove_param_int */
   NULL, NULL,   /* can_simulate_retrace, simulate_retrace */
   web_rest
};
