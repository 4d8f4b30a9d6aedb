// The folder the game runs in: its pictures and fonts, and the settings and
// scores files it reads and writes, all in a fresh temporary folder.
#include "xharness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char *const image_folder = "KV IMAGE";
const char *const font_files[] = {"krove_sfont.bmp", "krove_lfont.pcx"};

std::string make_temp_folder() {
  std::string pattern = (fs::temp_directory_path() / "kv-window-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return "";
  return pattern;
}

// A dangling link would only show up later as a puzzling game failure.
bool link_item(const fs::path &from, const fs::path &to) {
  std::error_code err;
  if (!fs::exists(from, err)) return false;
  fs::create_symlink(from, to, err);
  return !err;
}

}  // namespace

bool make_work_folder(work_folder &folder, const std::string &data_dir, bool copy_images) {
  folder.path = make_temp_folder();
  if (folder.path.empty()) return false;
  const fs::path data(data_dir);
  const fs::path work(folder.path);
  bool ok = true;
  if (copy_images) {
    // A real copy, so a test may delete or spoil a picture.
    std::error_code err;
    fs::copy(data / image_folder, work / image_folder, fs::copy_options::recursive, err);
    ok = !err;
  } else {
    ok = link_item(data / image_folder, work / image_folder);
  }
  for (const char *font : font_files) ok = link_item(data / font, work / font) && ok;
  folder.save_path = folder.path;
  if (testing_windows_game()) {
    // The .exe beside the pictures, as in its zip; its files in a fresh
    // %APPDATA%\Krove Vestin, as on a first start.
    ok = link_item(game_binary_path(), work / "krove-vestin.exe") && ok;
    const std::string appdata = windows_appdata_folder();
    folder.save_path = appdata.empty() ? "" : appdata + "/Krove Vestin";
    std::error_code err;
    fs::remove_all(folder.save_path, err);
    ok = !appdata.empty() && ok;
  }
  return ok;
}

void remove_work_folder(work_folder &folder) {
  if (folder.path.empty()) return;
  std::error_code err;
  fs::remove_all(folder.path, err);  // removes links, not what they point at
  if (folder.save_path != folder.path) fs::remove_all(folder.save_path, err);
  folder.path.clear();
  folder.save_path.clear();
}

work_folder::~work_folder() { remove_work_folder(*this); }

std::string work_path(const work_folder &folder, const std::string &name) {
  const bool saved = name == "KV settings.dat" || name == "KV scores.dat";
  return (fs::path(saved ? folder.save_path : folder.path) / name).string();
}

bool write_work_file(const work_folder &folder, const std::string &name, const std::string &text) {
  std::error_code err;
  fs::create_directories(fs::path(work_path(folder, name)).parent_path(), err);
  std::ofstream out(work_path(folder, name), std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string read_work_file(const work_folder &folder, const std::string &name) {
  std::ifstream in(work_path(folder, name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool work_file_exists(const work_folder &folder, const std::string &name) {
  std::error_code err;
  return fs::exists(work_path(folder, name), err);
}

bool remove_work_file(const work_folder &folder, const std::string &name) {
  std::error_code err;
  return fs::remove(work_path(folder, name), err);
}
