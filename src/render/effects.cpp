#include "render/effects.h"

#include <allegro.h>

#include "core/resources.h"

std::vector<dot> spark;
std::vector<bonus_text> score_msg;

void splash(int x, int y) {
  static const int moves[8][2] = {{4, 0}, {-4, 0}, {0, -4}, {0, 4},
                                  {3, -3}, {-3, -3}, {3, 3}, {-3, 3}};
  for (const auto &m : moves) spark.push_back({x, y, m[0], m[1], 12});
}

void create_msg(int x, int y, int value) { score_msg.push_back({x, y, value, 25}); }

// Both passes stop at the first item that expires: the items behind it
// neither move nor show in that frame, and so live one frame longer.
void run_sparks() {
  for (size_t i = 0; i < spark.size(); i++) {
    dot &d = spark[i];
    d.x += d.dx;
    d.y += d.dy;
    if (--d.life <= 0) {
      spark.erase(spark.begin() + static_cast<long>(i));
      return;
    }
    circlefill(buffer, d.x, d.y, d.life / 4, makecol(255, 255, 0));
  }
}

void run_texts() {
  for (size_t i = 0; i < score_msg.size(); i++) {
    bonus_text &t = score_msg[i];
    t.y += t.value > 0 ? -1 : 1;
    if (--t.life <= 0) {
      score_msg.erase(score_msg.begin() + static_cast<long>(i));
      return;
    }
    textprintf_centre_ex(buffer, reg_txt, t.x, t.y, makecol(0, 0, 0), -1,
                         t.value > 0 ? "+%i" : "%i", t.value);
  }
}
