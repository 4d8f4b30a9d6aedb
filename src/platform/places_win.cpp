#include "platform/places.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/report.h"

// Wide-character calls throughout, so a player's name outside the ANSI code
// page in the path does not matter: after this the files have plain names.
bool enter_picture_folder() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (n == 0 || n == MAX_PATH) return report_line("cannot find the folder of krove-vestin.exe");
  std::wstring folder(exe, n);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  if (!SetCurrentDirectoryW(folder.c_str()))
    return report_line("cannot enter the folder of krove-vestin.exe: %s", system_reason(GetLastError()).c_str());
  return true;
}

bool enter_save_folder() {
  PWSTR roaming = nullptr;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming) != S_OK) {
    CoTaskMemFree(roaming);
    return report_line("cannot find the APPDATA folder");
  }
  const std::wstring folder = std::wstring(roaming) + L"\\Krove Vestin";
  CoTaskMemFree(roaming);
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return report_line("cannot make the folder %%APPDATA%%\\Krove Vestin: %s",
                       system_reason(GetLastError()).c_str());
  if (!SetCurrentDirectoryW(folder.c_str()))
    return report_line("cannot enter the folder %%APPDATA%%\\Krove Vestin: %s",
                       system_reason(GetLastError()).c_str());
  return true;
}
