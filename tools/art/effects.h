// Moving bits: the four blast stages and the fireball menu marker.
#pragma once
#include "canvas.h"

const int blast_frames = 4;
const int fire_frames = 4;
const int fire_w = 16;  // drawn at x=110 with the label at x=130
const int fire_h = 10;  // one small-font line, head level with the letters

picture draw_blast(int stage);  // 1..4; 4 fades out and is never shown
picture draw_fire(int frame);   // 1..4
