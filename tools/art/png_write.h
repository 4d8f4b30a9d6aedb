// A small PNG writer: 8-bit RGB rows, compressed with zlib. Used for the art
// montage and for screenshots of the game window.
#pragma once

// rgb holds w*h*3 bytes, rows top to bottom. Returns false on a bad size or
// any write error.
bool write_png(const char *path, int w, int h, const unsigned char *rgb);
// The same with an alpha byte after each pixel's RGB (w*h*4 bytes), for
// pictures with see-through parts such as the desktop icon.
bool write_png_rgba(const char *path, int w, int h, const unsigned char *rgba);
