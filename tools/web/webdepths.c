/* What the game draws with, and no more: the browser downloads every
 * function the library links, so the colour depths and the 3D polygons
 * the game never draws are left out of the library's browser build.
 *
 * The game's pictures come in 8 and 24 bits (its files) and it draws in 32:
 * the library's 15- and 16-bit drawing is left out. The library's tables
 * of 3D polygon fillers name every depth's, so the 3D polygon routines go
 * too; in the drawing tables their places are taken by these, which draw
 * nothing (the game draws no 3D polygon). */

#include "allegro.h"

BEGIN_COLOR_DEPTH_LIST
   COLOR_DEPTH_8
   COLOR_DEPTH_24
   COLOR_DEPTH_32
END_COLOR_DEPTH_LIST

void _soft_polygon3d(BITMAP *bmp, int type, BITMAP *texture, int vc, V3D *vtx[])
{
   (void)bmp; (void)type; (void)texture; (void)vc; (void)vtx;
}

void _soft_polygon3d_f(BITMAP *bmp, int type, BITMAP *texture, int vc, V3D_f *vtx[])
{
   (void)bmp; (void)type; (void)texture; (void)vc; (void)vtx;
}

void _soft_triangle3d(BITMAP *bmp, int type, BITMAP *texture, V3D *v1, V3D *v2, V3D *v3)
{
   (void)bmp; (void)type; (void)texture; (void)v1; (void)v2; (void)v3;
}

void _soft_triangle3d_f(BITMAP *bmp, int type, BITMAP *texture, V3D_f *v1, V3D_f *v2, V3D_f *v3)
{
   (void)bmp; (void)type; (void)texture; (void)v1; (void)v2; (void)v3;
}

void _soft_quad3d(BITMAP *bmp, int type, BITMAP *texture, V3D *v1, V3D *v2, V3D *v3, V3D *v4)
{
   (void)bmp; (void)type; (void)texture; (void)v1; (void)v2; (void)v3; (void)v4;
}

void _soft_quad3d_f(BITMAP *bmp, int type, BITMAP *texture, V3D_f *v1, V3D_f *v2, V3D_f *v3, V3D_f *v4)
{
   (void)bmp; (void)type; (void)texture; (void)v1; (void)v2; (void)v3; (void)v4;
}
