# Writes a build's page and service worker. The build's name is made of the
# contents of every file the worker keeps and of the page's template, so
# that any change to any of them makes a new worker. The page names its
# build and asks for its scripts under that name; the worker knows each
# other file by its SHA-256, and keeps nothing of another build.
#   cmake -DPAGE=index.html.in -DWORKER=sw.js.in -DOUT=FOLDER -DPROJECT_VERSION=1.2.0
#         -DFILES="a|b|c" -P make_build.cmake
cmake_minimum_required(VERSION 3.16)
string(REPLACE "|" ";" files "${FILES}")
file(SHA256 "${PAGE}" sums)
set(KV_WEB_FILES "'./': '', 'index.html': ''")
foreach(file IN LISTS files)
  file(SHA256 "${file}" sum)
  string(APPEND sums "${sum}")
  get_filename_component(name "${file}" NAME)
  string(APPEND KV_WEB_FILES ",\n  '${name}': '${sum}'")
  file(SIZE "${file}" size_${name})
endforeach()
# The sizes of the three files the page fetches, for its loading bar.
set(KV_WEB_SIZES "${size_krove-vestin.js} ${size_krove-vestin.wasm} ${size_krove-vestin.data}")
string(SHA256 build "${sums}")
string(SUBSTRING "${build}" 0 16 KV_WEB_BUILD)
configure_file("${PAGE}" "${OUT}/index.html" @ONLY)
configure_file("${WORKER}" "${OUT}/sw.js" @ONLY)
