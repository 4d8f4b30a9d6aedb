# Proves compare_art.cmake notices when data/ goes out of step: on a copy
# of data/ it changes one picture, removes one font and adds a stray file,
# and each time expects the comparison to fail naming that file.
#   cmake -DGEN=kv-artgen -DDATA=data -DWORK=scratch -DCOMPARE=compare_art.cmake -P guard_check.cmake
cmake_minimum_required(VERSION 3.16)
foreach(var GEN DATA WORK COMPARE)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "guard_check.cmake needs -D${var}=...")
  endif()
endforeach()

function(expect_caught label spoil_kind spoil_name)
  set(copy "${WORK}/data")
  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}")
  file(COPY "${DATA}/" DESTINATION "${copy}")
  if(spoil_kind STREQUAL "change")
    file(APPEND "${copy}/${spoil_name}" "!")
  elseif(spoil_kind STREQUAL "remove")
    file(REMOVE "${copy}/${spoil_name}")
  else()
    file(WRITE "${copy}/${spoil_name}" "stray\n")
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DGEN=${GEN}" "-DDATA=${copy}" "-DOUT=${WORK}/out" -P "${COMPARE}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${label}: the comparison passed")
  endif()
  string(FIND "${out}${err}" "${spoil_name}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${label}: the failure does not name ${spoil_name}:\n${out}${err}")
  endif()
endfunction()

expect_caught("changed picture" change "KV IMAGE/g_block.bmp")
expect_caught("missing font" remove "krove_lfont.pcx")
expect_caught("stray file" add "KV IMAGE/extra.bmp")
file(REMOVE_RECURSE "${WORK}")
message(STATUS "changed, missing and stray art files are all caught")
