#include <emscripten.h>

#include <cstdio>
#include <cstdlib>

#include "platform/report.h"
#include "store/save_file.h"

// Kept in the page's storage (see places_web.cpp), written at once: the
// browser may end the page right after. Returns "" when kept, else the
// browser's reason (a full quota, storage refused for the page).
EM_JS(char *, keep_in_page_storage, (const char *path, const char *bytes, int size), {
  let text = "";
  for (let i = 0; i < size; i++) text += String.fromCharCode(HEAPU8[bytes + i]);
  let reason = "";
  try {
    localStorage.setItem("krove-vestin/" + UTF8ToString(path), text);
  } catch (e) {
    reason = "the browser refused its storage (" + (e && e.name ? e.name : e) + ")";
  }
  const length = lengthBytesUTF8(reason) + 1;
  const out = _malloc(length);
  stringToUTF8(reason, out, length);
  return out;
});

// The page's copy of the file made anew from the storage, where another tab
// may have saved since; no item there, no file. Where the browser refuses
// its storage, the page's own copy is all there is, and stays.
EM_JS(void, recall_from_page_storage, (const char *path), {
  const name = UTF8ToString(path);
  let kept;
  try {
    kept = localStorage.getItem("krove-vestin/" + name);
  } catch (e) {
    return;
  }
  try {
    if (kept === null) FS.unlink(name);
    else FS.writeFile(name, Uint8Array.from(kept, c => c.charCodeAt(0) & 255));
  } catch (e) {
  }
});

void recall_saved_file(const char *path) { recall_from_page_storage(path); }

// The file the game reads again while the page is open.
static bool write_here(const char *path, const std::string &text) {
  FILE *file = std::fopen(path, "wb");
  if (!file) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

bool save_file(const char *path, const std::string &text) {
  if (!write_here(path, text)) return report_line("cannot save \"%s\": no room in the page's memory", path);
  char *reason = keep_in_page_storage(path, text.data(), static_cast<int>(text.size()));
  const bool kept = reason[0] == 0;
  if (!kept) report_line("cannot save \"%s\": %s", path, reason);
  std::free(reason);
  return kept;
}
