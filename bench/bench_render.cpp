// What one game frame costs to draw: our blending against Allegro's own
// translucent drawing, and the whole game screen on a busy field.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/clock.h"
#include "display/screen.h"
#include "core/resources.h"
#include "field/blast.h"
#include "field/grid.h"
#include "field/rise.h"
#include "field/shot.h"
#include "render/blend.h"
#include "render/effects.h"
#include "render/field_draw.h"

namespace {

bool set_up() {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;
  if (chdir(KV_DATA_DIR) != 0) return false;
  return create_buffers() && load_resources();
}

constexpr int panel_pixels = 145 * 217;

void BM_trans_rect_panel(benchmark::State &state) {
  const int black = makecol(0, 0, 0);
  for (auto _ : state) {
    trans_rect(buffer, 10, 10, 154, 226, black, 2);
    benchmark::DoNotOptimize(buffer->line[100][40]);
  }
  state.SetItemsProcessed(state.iterations() * panel_pixels);
}
BENCHMARK(BM_trans_rect_panel);

void BM_allegro_trans_panel(benchmark::State &state) {
  const int black = makecol(0, 0, 0);
  set_trans_blender(0, 0, 0, 128);
  drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
  for (auto _ : state) {
    rectfill(buffer, 10, 10, 154, 226, black);
    benchmark::DoNotOptimize(buffer->line[100][40]);
  }
  solid_mode();
  state.SetItemsProcessed(state.iterations() * panel_pixels);
}
BENCHMARK(BM_allegro_trans_panel);

// Every cell filled with every kind of picture, every column warning,
// a burst of sparks and a score text alive.
void fill_busy_field() {
  const int codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -2, -3, -4};
  for (int i = 0; i < COLS * ROWS; i++) set_grid[i] = codes[i % 13];
  for (int c = 0; c < COLS; c++) cell(c, 1) = 1 + c % 4;
  lift = 10;
  tx = 3;
  ty = 6;
  recharge = 0;
  score = -12340;
}

void BM_draw_field_busy(benchmark::State &state) {
  fill_busy_field();
  for (auto _ : state) {
    state.PauseTiming();
    spark.clear();
    score_msg.clear();
    splash(73, 109);
    splash(120, 60);
    create_msg(100, 150, 640);
    create_msg(40, 120, -10);
    state.ResumeTiming();
    draw_field();
    run_sparks();
    run_texts();
    loop_num++;
    scroll_t++;
  }
}
BENCHMARK(BM_draw_field_busy)->Unit(benchmark::kMicrosecond);

void BM_draw_background(benchmark::State &state) {
  for (auto _ : state) {
    draw_background();
    scroll_t++;
  }
}
BENCHMARK(BM_draw_background)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv) {
  if (!set_up()) {
    std::fprintf(stderr, "kv-bench: cannot load the pictures and fonts from %s\n", KV_DATA_DIR);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
