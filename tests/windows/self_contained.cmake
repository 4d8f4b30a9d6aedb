# The .exe needs no DLL that Windows itself lacks: every DLL it imports is
# one of Windows' own. A DLL of MinGW's runtime (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) or of Allegro would fail here.
#   cmake -DOBJDUMP=... -DEXE=... -P self_contained.cmake
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(windows_own kernel32 user32 gdi32 advapi32 shell32 ole32 comdlg32 winmm ddraw dsound dinput msvcrt)
set(strays "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "DLL Name: ([^.]+)\\.dll" "\\1" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST windows_own)
    list(APPEND strays "${dll}")
  endif()
endforeach()
list(LENGTH lines count)
if(count EQUAL 0 OR strays)
  message(FATAL_ERROR "krove-vestin.exe imports DLLs Windows lacks: ${strays} (of ${count})")
endif()
message(STATUS "krove-vestin.exe imports ${count} DLLs, all Windows' own")
