# kv_sanitized_copy(NEW OLD SANITIZERS [REPLACE from=to ...])
# Builds the sources of target OLD again as target NEW (same kind, same
# definitions, include folders and libraries) with -fsanitize=SANITIZERS.
# The copies follow whatever the library and the tests list, so a file added
# to kv or kv-tests is checked under the sanitizers without a second list.
# REPLACE pairs swap linked targets, e.g. kv=kv-asan for the test binary.
function(kv_sanitized_copy new old sanitizers)
  cmake_parse_arguments(ARG "" "" "REPLACE" ${ARGN})
  get_target_property(kind ${old} TYPE)
  get_target_property(dir ${old} SOURCE_DIR)
  get_target_property(sources ${old} SOURCES)
  set(absolute "")
  foreach(s IN LISTS sources)
    if(IS_ABSOLUTE "${s}")
      list(APPEND absolute "${s}")
    else()
      list(APPEND absolute "${dir}/${s}")
    endif()
  endforeach()

  if(kind STREQUAL "EXECUTABLE")
    add_executable(${new} ${absolute})
  else()
    add_library(${new} STATIC ${absolute})
  endif()

  foreach(p COMPILE_DEFINITIONS INCLUDE_DIRECTORIES COMPILE_OPTIONS
            INTERFACE_INCLUDE_DIRECTORIES INTERFACE_COMPILE_DEFINITIONS)
    get_target_property(v ${old} ${p})
    if(v)
      set_property(TARGET ${new} PROPERTY ${p} "${v}")
    endif()
  endforeach()

  get_target_property(libs ${old} LINK_LIBRARIES)
  if(libs)
    foreach(pair IN LISTS ARG_REPLACE)
      string(REPLACE "=" ";" pair "${pair}")
      list(GET pair 0 from)
      list(GET pair 1 to)
      list(TRANSFORM libs REPLACE "^${from}$" "${to}")
    endforeach()
    target_link_libraries(${new} PUBLIC ${libs})
  endif()

  # Frame pointers keep the reports' stacks whole; the first error stops the run.
  set(flags -fsanitize=${sanitizers} -fno-omit-frame-pointer)
  if(NOT sanitizers STREQUAL "thread")
    list(APPEND flags -fno-sanitize-recover=all)
  endif()
  target_compile_options(${new} PUBLIC ${flags})
  target_link_options(${new} PUBLIC -fsanitize=${sanitizers})
endfunction()
