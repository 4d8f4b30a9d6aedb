// kv-artgen: paints every picture and both fonts of Krove Vestin.
//   kv-artgen OUTDIR [--montage FILE.png]
// Writes "OUTDIR/KV IMAGE/*.bmp", OUTDIR/krove_sfont.bmp,
// OUTDIR/krove_lfont.pcx, the icon OUTDIR/krove-vestin.{xpm,png}, the icon
// theme's sizes OUTDIR/icons/NxN/apps/krove-vestin.png and all of them in
// the Windows icon OUTDIR/krove-vestin.ico, and the browser game's home
// screen icons OUTDIR/web/krove-vestin-{192,512}.png, the same bytes on
// every run.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "background.h"
#include "blocks.h"
#include "effects.h"
#include "fonts.h"
#include "icon.h"
#include "montage.h"

static std::vector<named_picture> draw_all_pictures() {
  std::vector<named_picture> all;
  all.push_back({"r_block.bmp", draw_colour_block(colour_red)});
  all.push_back({"b_block.bmp", draw_colour_block(colour_blue)});
  all.push_back({"g_block.bmp", draw_colour_block(colour_green)});
  all.push_back({"y_block.bmp", draw_colour_block(colour_yellow)});
  all.push_back({"powerup1.bmp", draw_area_powerup()});
  all.push_back({"powerup2.bmp", draw_band_powerup()});
  all.push_back({"powerup3.bmp", draw_colour_clear_mark()});
  all.push_back({"n_block.bmp", draw_waiting_block()});
  for (int i = 1; i <= blast_frames; ++i) all.push_back({"blast" + std::to_string(i) + ".bmp", draw_blast(i)});
  for (int i = 1; i <= fire_frames; ++i) all.push_back({"fire_" + std::to_string(i) + ".bmp", draw_fire(i)});
  all.push_back({"background.bmp", draw_background()});
  return all;
}

static int fail(const std::string &what) {
  std::fprintf(stderr, "kv-artgen: cannot write %s\n", what.c_str());
  return 1;
}

int main(int argc, char **argv) {
  std::string out_dir, montage_path;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--montage") == 0 && i + 1 < argc) {
      montage_path = argv[++i];
    } else if (out_dir.empty() && argv[i][0] != '-') {
      out_dir = argv[i];
    } else {
      out_dir.clear();
      break;
    }
  }
  if (out_dir.empty()) {
    std::fprintf(stderr, "usage: kv-artgen OUTDIR [--montage FILE.png]\n");
    return 2;
  }
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    std::fprintf(stderr, "kv-artgen: cannot start Allegro\n");
    return 1;
  }
  // The same 32-bit layout the game's window uses.
  set_color_depth(32);
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;

  const std::string image_dir = out_dir + "/KV IMAGE";
  std::error_code ec;
  std::filesystem::create_directories(image_dir, ec);
  if (ec) return fail(image_dir);

  std::vector<named_picture> pictures = draw_all_pictures();
  for (const named_picture &n : pictures)
    if (!save_picture(n.pic, image_dir + "/" + n.name)) return fail(image_dir + "/" + n.name);
  if (!save_font_sheet(build_small_glyphs(), out_dir + "/krove_sfont.bmp")) return fail("krove_sfont.bmp");
  if (!save_font_sheet(build_large_glyphs(), out_dir + "/krove_lfont.pcx")) return fail("krove_lfont.pcx");
  if (!save_xpm(draw_icon(), "krove_vestin", out_dir + "/krove-vestin.xpm")) return fail("krove-vestin.xpm");
  if (!save_icon_png(draw_icon(), out_dir + "/krove-vestin.png")) return fail("krove-vestin.png");
  std::vector<std::string> sizes;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string dir = out_dir + "/icons/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::filesystem::create_directories(dir, ec);
    sizes.push_back(dir + "/krove-vestin.png");
    if (ec || !save_sized_icon_png(draw_icon(), size, sizes.back())) return fail(dir);
  }
  if (!save_ico(sizes, out_dir + "/krove-vestin.ico")) return fail("krove-vestin.ico");
  std::filesystem::create_directories(out_dir + "/web", ec);
  for (int size : {192, 512}) {
    const std::string name = "web/krove-vestin-" + std::to_string(size) + ".png";
    if (ec || !save_app_icon_png(draw_icon(), size, out_dir + "/" + name)) return fail(name);
  }

  if (!montage_path.empty()) {
    std::filesystem::path parent = std::filesystem::path(montage_path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (!write_montage(pictures, out_dir, montage_path)) return fail(montage_path);
  }
  return 0;
}
END_OF_MAIN()
