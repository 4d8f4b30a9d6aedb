#include "platform/places.h"

#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/report.h"

// The pictures and fonts come packed beside the game (krove-vestin.data) and
// are unpacked into this folder before the game starts.
bool enter_picture_folder() {
  if (chdir("/krove-vestin") != 0)
    return report_line("cannot find the pictures and fonts: %s", system_reason(errno).c_str());
  return true;
}

// The page's storage keeps each file as one item, "krove-vestin/" and the
// file's name, one character a byte; they are laid out as files here, where
// the game reads them as on a desktop. False when the browser refuses the
// storage (cookies blocked for the page, say).
EM_JS(int, lay_out_kept_files, (const char *folder), {
  const dir = UTF8ToString(folder);
  try {
    for (let i = 0; i < localStorage.length; i++) {
      const key = localStorage.key(i);
      const name = key.startsWith("krove-vestin/") ? key.slice(13) : "";
      if (!name || name.includes("/")) continue;
      const kept = localStorage.getItem(key);
      FS.writeFile(dir + "/" + name, Uint8Array.from(kept, c => c.charCodeAt(0) & 255));
    }
    return 1;
  } catch (e) {
    return 0;
  }
});

bool enter_save_folder() {
  const char *folder = "/save";
  if (mkdir(folder, 0755) != 0 && errno != EEXIST)
    return report_line("cannot make the folder %s: %s", folder, system_reason(errno).c_str());
  if (chdir(folder) != 0)
    return report_line("cannot enter the folder %s: %s", folder, system_reason(errno).c_str());
  // The game goes on; what it saves lasts while the page is open.
  if (!lay_out_kept_files(folder))
    report_line("the browser keeps nothing for this page: settings and scores last until it is closed");
  return true;
}
