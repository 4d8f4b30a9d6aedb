// "KV settings.dat": difficulty, window size, sound and the six key bindings.
#pragma once

extern int sound;  // kept in the settings file, used by nothing else

void load_settings();
bool save_settings();  // false (after saying why) when the file could not be written
