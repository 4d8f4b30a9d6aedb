# The browser game, built from this same tree with Emscripten against
# Allegro built for the browser (tools/kv test and tools/kv web build it
# into build/allegro-web) and laid out as the zip's folder, which the browser
# tests serve and play in Chromium. Emscripten's tools find their Node
# modules only where Debian keeps them.
include(ExternalProject)

set(KV_ALLEGRO_WEB_PREFIX "${CMAKE_BINARY_DIR}/allegro-web" CACHE PATH
    "Allegro 4.4 for the browser (tools/web/build-allegro.sh)")
find_program(KV_EMCC emcc)
find_file(KV_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
          PATHS /usr/share/emscripten/cmake/Modules/Platform NO_DEFAULT_PATH)
if(NOT EXISTS "${KV_ALLEGRO_WEB_PREFIX}/lib/liballeg.a" OR NOT KV_EMCC OR NOT KV_EMSCRIPTEN_TOOLCHAIN)
  message(STATUS "Browser build left out (tools/kv test sets it up)")
  set(KV_WEB_GAME_BUILT OFF)
  return()
endif()
set(KV_WEB_GAME_BUILT ON)

set(KV_WEB_GAME_DIR "${CMAKE_BINARY_DIR}/web-game")
set(node_env ${CMAKE_COMMAND} -E env "NODE_PATH=/usr/share/nodejs:$ENV{NODE_PATH}")
ExternalProject_Add(kv-web
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${KV_WEB_GAME_DIR}
  CONFIGURE_COMMAND ${node_env} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR>
    -DCMAKE_TOOLCHAIN_FILE=${KV_EMSCRIPTEN_TOOLCHAIN}
    -DKV_ALLEGRO_PREFIX=${KV_ALLEGRO_WEB_PREFIX} -DCMAKE_BUILD_TYPE=Release
  BUILD_COMMAND ${node_env} ${CMAKE_COMMAND} --build <BINARY_DIR>
  INSTALL_COMMAND ""
  # Always step in: the game's sources live outside the sub-project.
  BUILD_ALWAYS ON
)
