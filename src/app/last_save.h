// The save of the quit sequence, made once however the game ends: by the
// quit sequence on the game's thread, or from another thread in the middle
// of a frame when the display goes away or the session ends.
#pragma once
#include <atomic>

constexpr int SAVE_NOTHING_LOADED = -1;  // start-up has not read the files yet
constexpr int SAVE_NOT_BEGUN = 0;
constexpr int SAVE_UNDER_WAY = 1;
constexpr int SAVE_DONE = 2;
extern std::atomic<int> save_stage;

// The first call writes both files (the scores are tried whatever became
// of the settings); a later one, from any thread, waits for the first to
// finish and does not write again. True when both files were written.
// Before start-up has read the files there is nothing of the player's to
// keep: nothing is written and the result is false.
bool save_both_files();

// For an end from outside the game's thread: a game that has ended, its
// "GAME OVER" banner under way, counts as after a close; a game in play
// does not. Then save_both_files.
bool save_before_the_end();

// A save while the game goes on: the browser hides or closes the page, which
// may be the last the game sees of it. Counts a finished game as above and
// writes both files, and may be made again later; nothing is written before
// start-up has read the files or once the quit sequence has saved. True when
// both files were written.
bool save_meanwhile();
