# `cpack -G DEB` (scripts/package.sh) builds quillpress_VERSION_ARCH.deb from
# what `cmake --install` puts under the prefix. The runtime libraries are
# found by dpkg-shlibdeps from the program itself.
set(CPACK_PACKAGE_NAME ${QP_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Quillpress developers")
set(CPACK_PACKAGE_CONTACT "Quillpress developers <quillpress@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "automate the mouse and keyboard with Lua scripts")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillpress presses keys, clicks, moves and drags the pointer, turns the\n\
wheel and types text on an X11 desktop, driven by Lua scripts that call its\n\
input functions. It plays an input table edited in its window, records what\n\
the user does with the keyboard and mouse into a script that replays it, and\n\
starts and stops runs and recordings with global hotkeys.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/quillpress/quillpress")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
