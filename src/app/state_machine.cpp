#include "app/state_machine.h"

#include "core/clock.h"
#include "core/state.h"
#include "app/game_screen.h"
#include "app/startup.h"
#include "frontend/menu.h"
#include "field/rise.h"
#include "frontend/screens.h"

// Each block tests game_state afresh, so a state set by an earlier block
// runs later in the same pass and the next screen starts without a gap.
bool run_pass(menu &m) {
  if (game_state == STATE_SPLASH) {
    enter_splash();
    run_splash();
    set_state(STATE_TITLE);
  }
  if (game_state == STATE_SOUND) set_state(STATE_OPTIONS);
  if (game_state == STATE_SCREEN_SIZE) {
    enter_screen_size();
    run_screen_size();
    set_state(STATE_OPTIONS);
  }
  if (game_state == STATE_TITLE) {
    enter_title(m);
    run_title(m);
  }
  if (game_state == STATE_CONTROLS) {
    enter_controls();
    run_controls();
    set_state(STATE_OPTIONS);
  }
  if (game_state == STATE_OPTIONS) {
    enter_options(m);
    run_options(m);
  }
  if (game_state == STATE_DIFFICULTY) {
    enter_difficulty(m);
    run_difficulty(m);
  }
  loop_num = 0;
  if (game_state == STATE_GAME) {
    enter_game();
    run_game();
    // A game that ended counts even when the window was closed at its end:
    // the close skips the table, not the score.
    if (game_over && game_state == STATE_QUIT) record_score();
  }
  if (game_state == STATE_GAME_OVER) {
    enter_game_over(m);
    run_game_over(m);
  }
  if (game_state == STATE_QUIT) {
    quit_sequence(m);
    return true;
  }
  return false;
}
