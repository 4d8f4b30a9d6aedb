// The well's pieces: four colour blocks, the waiting row and the power-ups.
#pragma once
#include "canvas.h"

const int block_size = 18;

enum block_colour { colour_red, colour_blue, colour_green, colour_yellow, colour_count };

rgb block_base(int colour);
picture draw_colour_block(int colour);
picture draw_waiting_block();   // n_block: the row rising from below
picture draw_area_powerup();    // blasts 5x5 around it
picture draw_band_powerup();    // blasts three whole columns
picture draw_colour_clear_mark();  // star laid over a half-strength block
