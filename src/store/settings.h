// "KV settings.dat": difficulty, window size, sound and the six key bindings.
#pragma once

extern int sound;  // kept in the settings file, used by nothing else

void load_settings();
// Writes what this copy changed since it last read or wrote the file, and
// leaves the rest as the file holds it now (another copy may have saved);
// false (after saying why) when the file could not be written.
bool save_settings();
