/* The browser's timer. A page has no threads to run the install_int
 * callbacks, so the library runs them itself, for the real time that has
 * passed, each time it has slept; and it sleeps only in rest() (and
 * vsync), where the screen goes to the canvas and the page is given back
 * to the browser through Asyncify until the time is up. */

#include <math.h>
#include <emscripten.h>

#include "allegro.h"
#include "allegro/internal/aintern.h"
#include "webintern.h"

/* The one function that sleeps (the program lists it in ASYNCIFY_IMPORTS).
 * postTask where there is one: setTimeout chained from a timer is clamped
 * to 4 ms and more. Without it, setTimeout waits for all but the last few
 * milliseconds and messages, which are not clamped, for the rest. */
EM_JS(void, kv_web_sleep, (double ms), {
   Asyncify.handleSleep(function (wakeUp) {
      var wake = function () { wakeUp(); };
      if (typeof scheduler !== 'undefined' && scheduler.postTask) {
         scheduler.postTask(wake, {delay: ms});
         return;
      }
      var channel = Module.kvWebChannel || (Module.kvWebChannel = new MessageChannel());
      var message = function (then) {
         channel.port1.onmessage = then;
         channel.port2.postMessage(0);
      };
      var until = performance.now() + ms;
      var step = function () {
         var left = until - performance.now();
         if (left > 6)
            setTimeout(step, left - 5);
         else if (left > 0)
            message(step);
         else
            wake();
      };
      if (ms > 0)
         step();
      else
         message(wake);
   });
});

static int timer_on = FALSE;
static double ran_to;  /* emscripten_get_now() the callbacks have run up to */

static void catch_up(void)
{
   double ticks;
   int step;

   if (!timer_on)
      return;
   ticks = floor((emscripten_get_now() - ran_to) * (TIMERS_PER_SECOND / 1000.0));
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

void _web_sleep(double ms)
{
   _web_show_screen();
   kv_web_sleep(ms);
   catch_up();
}

static void web_rest(unsigned int ms, void (*callback)(void))
{
   double until = emscripten_get_now() + ms;
   double left;

   /* the browser may wake us early by the rounding of its clock */
   while ((left = until - emscripten_get_now()) > 0) {
      if (callback) {
         callback();
         _web_sleep(left < 1 ? left : 1);
      }
      else
         _web_sleep(left);
   }
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
