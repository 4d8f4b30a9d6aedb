// The game screen's picture: background, well, cells, warnings, cursor, HUD.
#pragma once

void draw_field();
