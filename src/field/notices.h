// What the field tells the game screen around it, which shows it: the game
// screen connects these (connect_field in app/game_screen.h), so the field
// stands on core and input alone. Any may be left unset.
#pragma once

// A colour shot changed the score by change; x, y: the cell's centre on the picture.
extern void (*notice_score)(int x, int y, int change);
// A power-up burst at x, y on the picture.
extern void (*notice_powerup)(int x, int y);
// The level went up during the update step.
extern void (*notice_level_up)();
