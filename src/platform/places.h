// Where the game finds its pictures and keeps its two files. Both are read
// and written by relative names, from the folder entered last.
#pragma once

// Before the pictures and fonts are loaded. On Linux the game runs in the
// folder its launcher chose, and stays there; on Windows the pictures lie
// in the folder of the .exe, wherever it was unzipped or installed.
bool enter_picture_folder();
// Before the settings are read. On Linux, again the folder the game runs
// in; on Windows %APPDATA%\Krove Vestin, made on the first start. On a
// failure prints one line naming the folder and returns false.
bool enter_save_folder();
