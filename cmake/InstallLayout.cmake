# Where `cmake --install` puts the program's files (GNUInstallDirs), and the
# names the desktop knows it by. The program finds its reference and icon
# through the same folders, relative to its own (see ui/ProgramFiles).
include(GNUInstallDirs)

set(QP_APPLICATION_ID "io.github.quillpress.Quillpress")
set(QP_PACKAGE_NAME "quillpress")
# Debian keeps a package's documents under its own name, not the project's.
set(QP_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/${QP_PACKAGE_NAME}")
set(QP_INSTALL_ICONDIR "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor")
# The window's own icon: 128 px is plenty for a title bar and a task switcher
# (the desktop scales the SVG), and Qt converts larger images on its thread
# pool, a hand-over the thread sanitizer cannot see in Debian's Qt.
set(QP_WINDOW_ICON_DIR "${QP_INSTALL_ICONDIR}/128x128/apps")

# From the installed program's folder to its documents and its window icon.
file(RELATIVE_PATH QP_DOC_FROM_PROGRAM "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${QP_INSTALL_DOCDIR}")
file(RELATIVE_PATH QP_ICON_FROM_PROGRAM "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${QP_WINDOW_ICON_DIR}")
