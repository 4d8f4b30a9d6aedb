# Runs kv-artgen into OUT and checks that it reproduces data/ byte for byte.
#   cmake -DGEN=kv-artgen -DDATA=data -DOUT=scratch -P compare_art.cmake
# Every file the game loads from data/ must come out of the generator, and
# the generator must write nothing that data/ lacks.
cmake_minimum_required(VERSION 3.16)
foreach(var GEN DATA OUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "compare_art.cmake needs -D${var}=...")
  endif()
endforeach()

set(expected
  "KV IMAGE/r_block.bmp" "KV IMAGE/b_block.bmp" "KV IMAGE/g_block.bmp" "KV IMAGE/y_block.bmp"
  "KV IMAGE/powerup1.bmp" "KV IMAGE/powerup2.bmp" "KV IMAGE/powerup3.bmp" "KV IMAGE/n_block.bmp"
  "KV IMAGE/blast1.bmp" "KV IMAGE/blast2.bmp" "KV IMAGE/blast3.bmp" "KV IMAGE/blast4.bmp"
  "KV IMAGE/fire_1.bmp" "KV IMAGE/fire_2.bmp" "KV IMAGE/fire_3.bmp" "KV IMAGE/fire_4.bmp"
  "KV IMAGE/background.bmp"
  "krove_sfont.bmp" "krove_lfont.pcx" "krove-vestin.xpm" "krove-vestin.png" "krove-vestin.ico")
# The menu icon at each size the desktop's icon theme asks for.
foreach(size 16 32 48 64 128 256)
  list(APPEND expected "icons/${size}x${size}/apps/krove-vestin.png")
endforeach()
# The browser game's icons for a phone's home screen.
list(APPEND expected "web/krove-vestin-192.png" "web/krove-vestin-512.png")

file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${GEN}" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kv-artgen failed (${rc})")
endif()

set(problems "")
foreach(name IN LISTS expected)
  if(NOT EXISTS "${OUT}/${name}")
    list(APPEND problems "kv-artgen did not write ${name}")
  elseif(NOT EXISTS "${DATA}/${name}")
    list(APPEND problems "data/${name} is missing (run kv-artgen ${DATA})")
  else()
    file(SHA256 "${OUT}/${name}" made)
    file(SHA256 "${DATA}/${name}" kept)
    if(NOT made STREQUAL kept)
      list(APPEND problems "data/${name} differs from what kv-artgen makes now")
    endif()
  endif()
endforeach()

# Strays either way: something in data/ no one regenerates, or new output
# nobody added to data/ and this list.
file(GLOB_RECURSE in_data RELATIVE "${DATA}" "${DATA}/*")
file(GLOB_RECURSE in_out RELATIVE "${OUT}" "${OUT}/*")
foreach(name IN LISTS in_data)
  if(NOT name IN_LIST expected)
    list(APPEND problems "data/${name} is not made by kv-artgen")
  endif()
endforeach()
foreach(name IN LISTS in_out)
  if(NOT name IN_LIST expected)
    list(APPEND problems "kv-artgen wrote ${name}, which data/ does not expect")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "art in data/ is out of step:\n  ${text}")
endif()
list(LENGTH expected count)
message(STATUS "all ${count} art files regenerate byte for byte")
