// The Windows game under Wine: the same tests, the .exe as the program.
// It runs in the Wine prefix $WINEPREFIX, beside its pictures in the test's
// folder (the game reads them from the folder of its .exe), and keeps its
// two files in that prefix's %APPDATA%\Krove Vestin.
#include "xharness.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

bool testing_windows_game() {
  const std::string binary = game_binary_path();
  return binary.size() > 4 && binary.compare(binary.size() - 4, 4, ".exe") == 0;
}

std::string windows_appdata_folder() {
  const char *prefix = std::getenv("WINEPREFIX");
  const passwd *user = getpwuid(getuid());
  if (!prefix || !*prefix || !user) return "";
  return std::string(prefix) + "/drive_c/users/" + user->pw_name + "/AppData/Roaming";
}

std::vector<std::string> windows_command(const std::string &exe, const std::vector<std::string> &args) {
  std::vector<std::string> argv = {"wine", exe};
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

// No debug chatter; no offer to fetch Mono or Gecko, which the game never needs.
const std::vector<std::string> &wine_environment() {
  static const std::vector<std::string> env = {"WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
  return env;
}

void end_wine_session() {
  for (const char *step : {"-k", "-w"}) {  // kill, then wait until the server is gone
    game_process server;
    if (start_command(server, {"wineserver", step}, "", {})) wait_for_exit(server, 5000);
  }
}
