// The fixture of the window tests that play the game: a session (X server,
// working folder) per test, and on failure the window's picture and the
// game's stderr.
#pragma once
#include <gtest/gtest.h>

#include "game_driver.h"

class session_test : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(prepare_session(s)) << "Xvfb, working folder or the art in " << game_data_dir();
  }

  void TearDown() override {
    if (HasFailure())
      report_session_failure(s, testing::UnitTest::GetInstance()->current_test_info()->name());
    kill_game(s.game);
  }

  game_session s;
};
