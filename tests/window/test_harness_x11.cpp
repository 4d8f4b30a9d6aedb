// The harness checked on its own, with a stand-in window we open ourselves:
// when a game test fails, these say whether the harness is to blame.
#include <gtest/gtest.h>

#include "xharness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A window dressed like Allegro's, owned by a second client connection.
struct stand_in_window {
  Display *dpy = nullptr;
  Window win = 0;
  ~stand_in_window() {
    if (dpy) XCloseDisplay(dpy);
  }
};

bool open_stand_in(stand_in_window &s, const xvfb_server &server, const char *name,
                   const char *res_class, unsigned long background) {
  s.dpy = XOpenDisplay(server.name.c_str());
  if (!s.dpy) return false;
  s.win = XCreateSimpleWindow(s.dpy, DefaultRootWindow(s.dpy), 0, 0, 320, 240, 0, 0, background);
  XStoreName(s.dpy, s.win, name);
  XClassHint hint;
  hint.res_name = const_cast<char *>("allegro");
  hint.res_class = const_cast<char *>(res_class);
  XSetClassHint(s.dpy, s.win, &hint);
  Atom del = XInternAtom(s.dpy, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(s.dpy, s.win, &del, 1);
  XSelectInput(s.dpy, s.win, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapWindow(s.dpy, s.win);
  XSync(s.dpy, False);
  return true;
}

// Next event of a type for the stand-in, or false after timeout_ms.
bool next_event(stand_in_window &s, int type, XEvent &ev, int timeout_ms) {
  return poll_until([&] { return XCheckTypedWindowEvent(s.dpy, s.win, type, &ev) != 0; },
                    timeout_ms, 2);
}

// A data folder shaped like the real one, with placeholder files.
struct fake_data {
  fs::path path;
  fake_data() {
    path = fs::temp_directory_path() / ("kv-fake-data-" + std::to_string(getpid()));
    fs::create_directories(path / "KV IMAGE");
    std::ofstream(path / "KV IMAGE" / "background.bmp") << "x";
    std::ofstream(path / "krove_sfont.bmp") << "x";
    std::ofstream(path / "krove_lfont.pcx") << "x";
  }
  ~fake_data() { fs::remove_all(path); }
};

class HarnessX11 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(start_xvfb(server)) << "no Xvfb on :90..:140"; }
  xvfb_server server;
  fake_data data;
};

}  // namespace

TEST(HarnessServer, StartsAndStopsWithoutLeavingAProcess) {
  pid_t pid;
  {
    xvfb_server server;
    ASSERT_TRUE(start_xvfb(server));
    EXPECT_GE(server.number, 90);
    EXPECT_LE(server.number, 140);
    EXPECT_NE(server.display, nullptr);
    pid = server.pid;
  }
  // Reaped: neither running nor a zombie of ours.
  EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(HarnessFolder, LinksThePicturesAndReadsFilesBack) {
  fake_data fake;
  const fs::path &data = fake.path;
  std::string kept;
  {
    work_folder folder;
    ASSERT_TRUE(make_work_folder(folder, data.string()));
    kept = folder.path;
    EXPECT_TRUE(fs::is_symlink(work_path(folder, "KV IMAGE")));
    EXPECT_TRUE(fs::is_symlink(work_path(folder, "krove_sfont.bmp")));
    EXPECT_TRUE(fs::is_symlink(work_path(folder, "krove_lfont.pcx")));
    EXPECT_TRUE(work_file_exists(folder, "KV IMAGE/background.bmp"));

    EXPECT_FALSE(work_file_exists(folder, "KV scores.dat"));
    ASSERT_TRUE(write_work_file(folder, "KV scores.dat", "1 2 3"));
    EXPECT_EQ(read_work_file(folder, "KV scores.dat"), "1 2 3");
  }
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(fs::exists(data / "KV IMAGE" / "background.bmp"));  // links only were removed

  {
    work_folder copy;
    ASSERT_TRUE(make_work_folder(copy, data.string(), true));
    EXPECT_FALSE(fs::is_symlink(work_path(copy, "KV IMAGE")));
    EXPECT_TRUE(remove_work_file(copy, "KV IMAGE/background.bmp"));
    EXPECT_FALSE(work_file_exists(copy, "KV IMAGE/background.bmp"));
  }
  EXPECT_TRUE(fs::exists(data / "KV IMAGE" / "background.bmp"));
}

TEST(HarnessFolder, RefusesAMissingDataFolder) {
  work_folder folder;
  EXPECT_FALSE(make_work_folder(folder, "/nonexistent"));
}

TEST_F(HarnessX11, RunsAProgramAndReportsItsExit) {
  work_folder folder;
  ASSERT_TRUE(make_work_folder(folder, data.path.string()));
  game_process game;
  ASSERT_TRUE(start_game(game, "/bin/sh", folder, server,
                         {"-c", "echo \"$DISPLAY\"; pwd; echo oops >&2; exit 3"}));
  exit_result r = wait_for_exit(game, 2000);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(read_game_stdout(folder), server.name + "\n" + folder.path + "\n");
  EXPECT_EQ(read_game_stderr(folder), "oops\n");
}

TEST_F(HarnessX11, KillsAProgramThatWillNotEnd) {
  work_folder folder;
  ASSERT_TRUE(make_work_folder(folder, data.path.string()));
  game_process game;
  ASSERT_TRUE(start_game(game, "/bin/sleep", folder, server, {"30"}));
  EXPECT_FALSE(wait_for_exit(game, 50).exited);
  EXPECT_TRUE(game_running(game));
  kill_game(game);
  EXPECT_FALSE(game_running(game));
  EXPECT_EQ(game.result.signal, SIGKILL);
  EXPECT_EQ(waitpid(game.pid, nullptr, WNOHANG), -1);
}

TEST_F(HarnessX11, FindsOnlyTheAllegroWindow) {
  stand_in_window other, game;
  ASSERT_TRUE(open_stand_in(other, server, "krove-vestin", "XTerm", 0));
  EXPECT_EQ(wait_for_game_window(server, 100), 0u);
  ASSERT_TRUE(open_stand_in(game, server, "Krove Vestin", "krove-vestin", 0));
  x_window w = wait_for_game_window(server, 2000, "Krove Vestin");
  EXPECT_EQ(w, game.win);
  EXPECT_EQ(get_window_name(server, w), "Krove Vestin");
  EXPECT_EQ(find_game_window(server, "another-name"), 0u);

  window_size s = get_window_size(server, w);
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.height, 240);
  XResizeWindow(game.dpy, game.win, 640, 480);
  XSync(game.dpy, False);
  EXPECT_TRUE(wait_for_window_size(server, w, 640, 480, 2000));
}

TEST_F(HarnessX11, ClosingSendsDeleteWindow) {
  stand_in_window game;
  ASSERT_TRUE(open_stand_in(game, server, "probe", "krove-vestin", 0));
  x_window w = wait_for_game_window(server, 2000);
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(send_close_message(server, w));
  XEvent ev;
  ASSERT_TRUE(next_event(game, ClientMessage, ev, 2000));
  EXPECT_EQ(ev.xclient.message_type, XInternAtom(game.dpy, "WM_PROTOCOLS", False));
  EXPECT_EQ(static_cast<Atom>(ev.xclient.data.l[0]), XInternAtom(game.dpy, "WM_DELETE_WINDOW", False));
}

TEST_F(HarnessX11, KeysReachTheFocusedWindow) {
  stand_in_window game;
  ASSERT_TRUE(open_stand_in(game, server, "probe", "krove-vestin", 0));
  x_window w = wait_for_game_window(server, 2000);
  ASSERT_TRUE(focus_window(server, w));
  const long long before = now_ms();
  ASSERT_TRUE(tap_key(server, XK_space, 60));
  EXPECT_GE(now_ms() - before, 60);
  XEvent down, up;
  ASSERT_TRUE(next_event(game, KeyPress, down, 2000));
  ASSERT_TRUE(next_event(game, KeyRelease, up, 2000));
  EXPECT_EQ(XLookupKeysym(&down.xkey, 0), static_cast<KeySym>(XK_space));
  EXPECT_EQ(XLookupKeysym(&up.xkey, 0), static_cast<KeySym>(XK_space));
  EXPECT_GE(up.xkey.time - down.xkey.time, 50u);  // held, not a blip

  for (unsigned long sym : {XK_Escape, XK_Up, XK_Down, XK_Left, XK_Right, XK_1, XK_a, XK_z}) {
    ASSERT_TRUE(tap_key(server, sym, 1)) << sym;
    ASSERT_TRUE(next_event(game, KeyPress, down, 2000)) << sym;
    EXPECT_EQ(XLookupKeysym(&down.xkey, 0), static_cast<KeySym>(sym));
  }
}

TEST_F(HarnessX11, ReadsTheWindowsPixels) {
  stand_in_window game;
  // 0x2050a0 on a 24-bit TrueColor server is the colour (0x20, 0x50, 0xa0).
  ASSERT_TRUE(open_stand_in(game, server, "probe", "krove-vestin", 0x2050a0));
  XClearWindow(game.dpy, game.win);
  XSync(game.dpy, False);
  x_window w = wait_for_game_window(server, 2000);
  const rgb_colour blue{0x20, 0x50, 0xa0};
  rgb_image image;
  ASSERT_TRUE(poll_until(
      [&] { return grab_window(server, w, image) && pixel_at(image, 5, 5) == blue; }, 2000));
  EXPECT_EQ(image.width, 320);
  EXPECT_EQ(image.height, 240);
  EXPECT_EQ(count_colour(image, 0, 0, 320, 240, blue), 320 * 240);
  EXPECT_EQ(count_colour(image, 300, 220, 100, 100, blue), 20 * 20);  // clipped
  EXPECT_EQ(count_colour(image, 0, 0, 320, 240, rgb_colour{}), 0);

  const std::string png = (fs::temp_directory_path() /
                           ("kv-harness-shot-" + std::to_string(getpid()) + ".png"))
                              .string();
  ASSERT_TRUE(write_png_image(png, image));
  std::ifstream in(png, std::ios::binary);
  char head[24] = {};
  in.read(head, sizeof head);
  EXPECT_EQ(std::string(head, 8), "\x89PNG\r\n\x1a\n");
  // IHDR: width and height, big-endian, right after the signature and chunk header.
  EXPECT_EQ(std::string(head + 16, 8), std::string("\0\0\x01\x40\0\0\0\xf0", 8));
  fs::remove(png);
}
