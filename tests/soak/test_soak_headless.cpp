// Long play without a window: a bot plays game after game through the real
// screens and frame functions at full speed (the sleep hook moves the clock
// on at once), built with AddressSanitizer and UndefinedBehaviorSanitizer.
// After every game frame the rules of the well, the cursor, the rise, the
// recharge, the effect lists, the score and the end of the game are checked
// against the checks' own model, played from the keys and the well alone.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/clock.h"
#include "core/state.h"
#include "app/game_screen.h"
#include "app/startup.h"
#include "field/grid.h"
#include "field/rise.h"
#include "frontend/menu.h"
#include "frontend/screens.h"
#include "soak_bot.h"
#include "soak_checks.h"
#include "store/scores.h"
#include "store/settings.h"
#include "support/test_env.h"

namespace {

// $KV_SOAK_FRAMES sets another length for a run by hand.
long target_frames() {
  const char *env = std::getenv("KV_SOAK_FRAMES");
  return env && std::atol(env) > 0 ? std::atol(env) : 200000;
}
const unsigned seed = 20240601;

struct soak_run {
  long game_frames = 0;
  int games = 0;
  int games_by_mode[4] = {};
  int restarts = 0;
  int top_level[4] = {};  // the highest level reached on each difficulty
  std::string failure;
};

// The game screen's frames one at a time, each followed by the checks.
void play_checked_game(soak_run &run) {
  enter_game();
  run.games++;
  if (mode >= 1 && mode <= 3) run.games_by_mode[mode]++;
  while (game_state == STATE_GAME && run.failure.empty()) {
    const frame_state before = observe_frame();
    game_frame();
    run.game_frames++;
    if (mode >= 1 && mode <= 3 && level > run.top_level[mode]) run.top_level[mode] = level;
    const std::string broken = check_frame(before, observe_frame());
    if (!broken.empty() && run.failure.empty())
      run.failure = "game " + std::to_string(run.games) + ", frame " + std::to_string(loop_num - 1) +
                    ", difficulty " + std::to_string(mode) + ": " + broken;
  }
}

// Quit and start again as a new program would: the quit sequence saves both
// files and frees every picture, then the start-up's loading runs again.
void restart(menu &m, soak_run &run) {
  const std::function<void()> player = on_frame_wait;
  quit_sequence(m);
  reload_resources();
  reset_game();
  std::srand(seed + ++run.restarts);
  on_frame_wait = player;
  fill_field(false);
  load_settings();
  load_highscores();
}

// One pass over the screens in the state machine's order (run_pass), with
// the game screen's frames run by play_checked_game. The bot never picks
// the window size: without a window there is no mode to change to.
void soak_pass(menu &m, soak_run &run) {
  if (game_state == STATE_SPLASH) {
    enter_splash();
    run_splash();
    set_state(STATE_TITLE);
  }
  if (game_state == STATE_SOUND) set_state(STATE_OPTIONS);
  if (game_state == STATE_SCREEN_SIZE) run.failure = "the bot chose the window size";
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
  if (game_state == STATE_GAME) play_checked_game(run);
  if (game_state == STATE_GAME_OVER) {
    enter_game_over(m);
    run_game_over(m);
  }
  if (game_state == STATE_QUIT) restart(m, run);
}

}  // namespace

TEST(soak, a_bot_plays_200000_game_frames_and_every_frame_keeps_the_rules) {
  temp_folder folder;  // the data files the quits write
  reset_game();
  std::srand(seed);
  bot_start(seed);
  menu m;
  soak_run run;
  const long target = target_frames();
  // A bot stuck on some screen ends the run through the close button.
  const auto player = [&run, target] {
    bot_step();
    if (bot_counts().waits < 3 * target + 10000 || !run.failure.empty()) return;
    run.failure = "the bot is stuck in state " + std::to_string(game_state.load());
    quit_game();
  };
  on_frame_wait = player;
  const auto start = std::chrono::steady_clock::now();
  while (run.game_frames < target && run.failure.empty()) soak_pass(m, run);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  on_frame_wait = nullptr;

  ASSERT_EQ(run.failure, "");
  const bot_tally &bot = bot_counts();
  const score_tally &shots = score_counts();
  std::printf("soak: %ld game frames in %.1f s, %.0f frames/s; %d games (easy %d, normal %d, hard %d; "
              "%d played well), top levels %d/%d/%d, %d restarts\n",
              run.game_frames, seconds, run.game_frames / seconds, run.games, run.games_by_mode[1],
              run.games_by_mode[2], run.games_by_mode[3], bot_counts().skilled_games,
              run.top_level[1], run.top_level[2], run.top_level[3], run.restarts);
  std::printf("soak: shots: %ld groups (largest %d), %ld lone blocks, %ld power-ups; %d pauses, "
              "%d Esc in games, %d difficulty picks, %d keys rebound; %ld waits\n",
              shots.colour_shots, shots.largest_group, shots.lone_shots, shots.power_shots,
              bot.pauses, bot.escapes, bot.difficulty_picks, bot.rebinds, bot.waits);

  // The run was the long, varied play it is meant to be.
  EXPECT_GE(run.game_frames, target);
  if (target < 200000) return;  // a short run by hand proves only the rules
  EXPECT_GE(run.games, 30);
  for (int d = 1; d <= 3; d++) EXPECT_GE(run.games_by_mode[d], 3) << "difficulty " << d;
  EXPECT_GE(bot.skilled_games, 5);
  EXPECT_GE(std::max({run.top_level[1], run.top_level[2], run.top_level[3]}), 5);
  EXPECT_GE(shots.colour_shots, 100);
  EXPECT_GE(shots.power_shots, 10);
  EXPECT_GE(bot.pauses, 20);
  EXPECT_GE(bot.escapes, 3);
}
