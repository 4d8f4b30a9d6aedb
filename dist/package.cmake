# cpack -G DEB: the installed files above as krove-vestin_VERSION_ARCH.deb.
# tools/kv package configures the build for it (Release, games layout,
# Debian's hardening flags).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krove-vestin)
set(CPACK_PACKAGE_VENDOR "The Krove Vestin authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "action puzzle game of bursting coloured blocks")
set(CPACK_PACKAGE_DESCRIPTION
  "A well of coloured blocks rises from the bottom; aim the cursor and burst
whole groups of same-coloured blocks joined by their sides before a block
is pushed into the top row. Bigger groups score far more, a lone block
costs points, and a group of six or more brings a power-up. The field
rises faster with each level; the best score of each difficulty is kept.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KV_MAINTAINER}")
# Depends on the runtime libraries the game links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
