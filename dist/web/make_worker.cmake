# Writes the service worker from its template: the list of the game's files
# it keeps, and a build name made of their contents, so that any change to
# any of them makes a new worker.
#   cmake -DTEMPLATE=sw.js.in -DOUT=sw.js -DPROJECT_VERSION=1.1.0 -DFILES="a|b|c" -P make_worker.cmake
cmake_minimum_required(VERSION 3.16)
string(REPLACE "|" ";" files "${FILES}")
set(sums "")
set(names "")
foreach(file IN LISTS files)
  file(SHA256 "${file}" sum)
  string(APPEND sums "${sum}")
  get_filename_component(name "${file}" NAME)
  list(APPEND names "'${name}'")
endforeach()
string(SHA256 build "${sums}")
string(SUBSTRING "${build}" 0 16 KV_WEB_BUILD)
list(JOIN names ", " KV_WEB_FILES)
configure_file("${TEMPLATE}" "${OUT}" @ONLY)
