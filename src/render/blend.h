// Translucent drawing on 32-bit memory bitmaps, in integer arithmetic.
#pragma once
#include <cstdint>

struct BITMAP;

// Blend colour over under at strength quarters (1..3) into *out.
void merge32(std::int32_t *out, std::int32_t colour, std::int32_t under, int strength);
void trans_rect(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour, int strength);
void trans_draw(BITMAP *dest, BITMAP *sprite, int x, int y, int strength);
void SWAP(int &a, int &b);
