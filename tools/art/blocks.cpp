#include "blocks.h"

#include <cmath>

// Pixel centres in doubled coordinates, so the middle of an 18 px block is
// (0, 0) and every centre is an odd number from -17 to 17.
static int centre_x2(int x) { return 2 * x - (block_size - 1); }

rgb block_base(int colour) {
  // Spread in brightness too (yellow > green > red > blue), so the colours
  // part even in greyscale.
  switch (colour) {
    case colour_red: return {228, 52, 44};
    case colour_blue: return {32, 70, 214};
    case colour_green: return {52, 204, 84};
    default: return {255, 224, 56};
  }
}

// Outline, two-step bevel lit from the top left, and a face shading off
// toward the bottom right.
static void paint_bevel(picture &p, rgb base, int gloss) {
  const int last = block_size - 1;
  for (int y = 0; y < block_size; ++y) {
    for (int x = 0; x < block_size; ++x) {
      int d = std::min(std::min(x, y), std::min(last - x, last - y));
      bool lit = x + y < last;
      rgb c;
      if (d == 0) {
        c = scale_colour(base, lit ? 120 : 64);
      } else if (d == 1) {
        c = lit ? mix_colour(base, white, 120) : scale_colour(base, 150);
      } else if (d == 2) {
        c = lit ? mix_colour(base, white, 64) : scale_colour(base, 196);
      } else {
        int t = (x + y - 6) * 256 / 22;
        c = mix_colour(mix_colour(base, white, gloss), scale_colour(base, 216), t);
      }
      put_pixel(p, x, y, c);
    }
  }
}

// Each colour carries its own shape so no one has to rely on hue alone.
static bool inside_mark(int colour, int X, int Y) {
  int ax = X < 0 ? -X : X, ay = Y < 0 ? -Y : Y;
  switch (colour) {
    case colour_red: return ax + ay <= 10;  // diamond
    case colour_blue: {
      int r2 = X * X + Y * Y;  // ring
      return r2 <= 104 && r2 > 30;
    }
    case colour_green:  // triangle, point up
      return Y >= -9 && Y <= 9 && ax <= (Y + 11) / 2;
    default:  // plus
      return (ax <= 3 && ay <= 10) || (ay <= 3 && ax <= 10);
  }
}

static void paint_mark(picture &p, int colour, rgb base) {
  rgb fill = mix_colour(base, white, 150);
  rgb fill_shade = mix_colour(base, white, 70);
  rgb edge = scale_colour(base, 80);
  for (int y = 1; y < block_size - 1; ++y) {
    for (int x = 1; x < block_size - 1; ++x) {
      int X = centre_x2(x), Y = centre_x2(y);
      if (inside_mark(colour, X, Y)) {
        // The lower right rim of the mark is a touch darker, so it reads as
        // raised off the face.
        bool rim = !inside_mark(colour, X + 2, Y + 2);
        put_pixel(p, x, y, rim ? fill_shade : fill);
        continue;
      }
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx)
          if ((dx == 0 || dy == 0) && inside_mark(colour, X + 2 * dx, Y + 2 * dy)) near = true;
      if (near) put_pixel(p, x, y, edge);
    }
  }
}

picture draw_colour_block(int colour) {
  picture p = make_picture(block_size, block_size);
  rgb base = block_base(colour);
  paint_bevel(p, base, 48);
  paint_mark(p, colour, base);
  return p;
}

picture draw_waiting_block() {
  // Grey-blue and dim with a faint hatch: clearly a block, clearly not live.
  picture p = make_picture(block_size, block_size);
  rgb base{78, 82, 104};
  paint_bevel(p, base, 24);
  for (int y = 3; y < block_size - 3; ++y)
    for (int x = 3; x < block_size - 3; ++x)
      if ((x + y) % 4 == 0) put_pixel(p, x, y, scale_colour(get_pixel(p, x, y), 200));
  return p;
}

// Distance of each solid pixel from the silhouette's edge (0 on the rim),
// stepping through 8-neighbours.
static std::vector<int> edge_distance(const picture &p) {
  std::vector<int> d(p.px.size(), -1);
  int level = 0;
  bool any = true;
  while (any) {
    any = false;
    std::vector<int> next = d;
    for (int y = 0; y < p.h; ++y) {
      for (int x = 0; x < p.w; ++x) {
        size_t i = static_cast<size_t>(y) * p.w + x;
        if (!is_solid(p, x, y) || d[i] >= 0) continue;
        bool rim = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            int nx = x + dx, ny = y + dy;
            if (!is_solid(p, nx, ny)) {
              if (level == 0) rim = true;
            } else if (level > 0 && d[static_cast<size_t>(ny) * p.w + nx] == level - 1) {
              rim = true;
            }
          }
        if (rim) {
          next[i] = level;
          any = true;
        }
      }
    }
    d = next;
    ++level;
  }
  return d;
}

// Power-ups get a cut-corner silhouette and a glowing frame so they never
// pass for an ordinary block.
static picture powerup_shell(rgb rim, rgb glow, rgb inner_glow, rgb core) {
  picture p = make_picture(block_size, block_size);
  const int last = block_size - 1;
  for (int y = 0; y < block_size; ++y)
    for (int x = 0; x < block_size; ++x) {
      int cut = std::min(std::min(x + y, (last - x) + y), std::min(x + (last - y), (last - x) + (last - y)));
      if (cut >= 4) put_pixel(p, x, y, core);
    }
  std::vector<int> d = edge_distance(p);
  for (int y = 0; y < block_size; ++y)
    for (int x = 0; x < block_size; ++x) {
      int e = d[static_cast<size_t>(y) * block_size + x];
      if (e == 0) put_pixel(p, x, y, rim);
      else if (e == 1) put_pixel(p, x, y, glow);
      else if (e == 2) put_pixel(p, x, y, inner_glow);
      else if (e > 2) {
        // The core brightens toward the middle like a lamp behind glass.
        int X = centre_x2(x), Y = centre_x2(y);
        int r2 = X * X + Y * Y;
        put_pixel(p, x, y, mix_colour(core, inner_glow, 150 - r2 * 150 / 200));
      }
    }
  return p;
}

picture draw_area_powerup() {
  picture p = powerup_shell({110, 50, 8}, {255, 214, 90}, {236, 124, 30}, {58, 18, 16});
  // A burst: long rays on the axes, short ones on the diagonals.
  for (int y = 3; y < block_size - 3; ++y)
    for (int x = 3; x < block_size - 3; ++x) {
      double X = centre_x2(x), Y = centre_x2(y);
      double r = std::sqrt(X * X + Y * Y);
      if (r < 0.5) continue;
      double c = X / r, s = Y / r;
      // cos(4a) and cos(8a) from cos/sin, no trig tables needed.
      double c2 = c * c - s * s, s2 = 2 * c * s;
      double c4 = c2 * c2 - s2 * s2;
      double axis = (1 + c4) / 2;
      double reach = 4.5 + 7.0 * axis * axis * axis * axis + 3.0 * (1 - axis) * (1 - axis) * (1 - axis) * (1 - axis);
      if (r > reach) continue;
      int heat = static_cast<int>(256 * (1 - r / reach));
      rgb c_out = mix_colour(rgb{255, 150, 40}, rgb{255, 236, 130}, heat * 2);
      put_pixel(p, x, y, mix_colour(c_out, white, heat > 150 ? (heat - 150) * 2 : 0));
    }
  return p;
}

picture draw_band_powerup() {
  picture p = powerup_shell({10, 54, 92}, {130, 236, 255}, {40, 150, 222}, {12, 20, 54});
  // Three upright beams, one per column the power-up clears. They shoot
  // through the frame top and bottom to say "the whole column".
  const int beam_x[3] = {4, 8, 12};
  for (int b = 0; b < 3; ++b) {
    int reach = b == 1 ? 1 : 2;  // the middle beam pokes out furthest
    for (int y = reach; y <= block_size - 1 - reach; ++y)
      for (int k = 0; k < 2; ++k) {
        int x = beam_x[b] + k;
        int from_mid = y < 9 ? 8 - y : y - 9;  // 0 at the middle rows
        int glow = 250 - from_mid * 18 - (b == 1 ? 0 : 24) - (k == 1 ? 50 : 0);
        put_pixel(p, x, y, mix_colour(rgb{40, 150, 230}, white, glow));
      }
  }
  // Dark gaps between beams keep the three apart.
  for (int y = 3; y <= block_size - 4; ++y)
    for (int x : {6, 7, 10, 11}) put_pixel(p, x, y, scale_colour(get_pixel(p, x, y), 150));
  return p;
}

// Even-odd test against a five-pointed star (outer radius ro, inner ri),
// its first point straight up; corner directions are written out so no
// trig function is called.
static bool inside_star(double X, double Y, double ro, double ri) {
  static const double dir_x[10] = {0.0, 0.5877852523, 0.9510565163, 0.9510565163, 0.5877852523,
                                   0.0, -0.5877852523, -0.9510565163, -0.9510565163, -0.5877852523};
  static const double dir_y[10] = {-1.0, -0.8090169944, -0.3090169944, 0.3090169944, 0.8090169944,
                                   1.0, 0.8090169944, 0.3090169944, -0.3090169944, -0.8090169944};
  double vx[10], vy[10];
  for (int i = 0; i < 10; ++i) {
    double r = (i % 2 == 0) ? ro : ri;
    vx[i] = dir_x[i] * r;
    vy[i] = dir_y[i] * r;
  }
  bool in = false;
  for (int i = 0, j = 9; i < 10; j = i++) {
    if ((vy[i] > Y) != (vy[j] > Y)) {
      double cross_x = vx[j] + (Y - vy[j]) * (vx[i] - vx[j]) / (vy[i] - vy[j]);
      if (X < cross_x) in = !in;
    }
  }
  return in;
}

picture draw_colour_clear_mark() {
  picture p = make_picture(block_size, block_size);
  const double ro = 16.5, ri = 7.0;  // doubled coordinates
  const double oy = 1.0;             // the star's body sits a hair low
  auto star = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < block_size && y < block_size &&
           inside_star(centre_x2(x), centre_x2(y) - oy, ro, ri);
  };
  for (int y = 0; y < block_size; ++y)
    for (int x = 0; x < block_size; ++x) {
      if (star(x, y)) {
        // White with a soft grey toward the lower right for some depth.
        bool shade = !star(x + 1, y + 1);
        put_pixel(p, x, y, shade ? rgb{200, 204, 216} : white);
        continue;
      }
      bool near = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (star(x + dx, y + dy)) near = true;
      if (near) put_pixel(p, x, y, rgb{24, 20, 36});
    }
  return p;
}
