// The player's side of the game frame: cursor, shot, recharge, power-ups.
#pragma once

extern int recharge;    // time left before the next shot; every shot sets 160
extern int reload;      // taken from recharge each frame; every shot sets 4
extern bool key_fire;   // fire latch, set by a colour shot

void clamp_cursor();
void input_step();      // movement, clamp, fire test and shot, latch, recharge
void powerup_run(int type);
