# The Debian package, built by scripts/package.sh with CPack: the runtime
# component only (packaging/CMakeLists.txt), installed under /usr. Library
# dependencies come from dpkg-shlibdeps; the fonts the program shows its texts
# with are recommended (fontconfig itself brings a Latin font).
set(TUMBRAL_PACKAGE_MAINTAINER "Tumbral developers <tumbral@example.org>"
    CACHE STRING "The Debian package's maintainer, \"Name <address>\"")

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};Tumbral;runtime;/")
set(CPACK_PACKAGE_NAME tumbral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TUMBRAL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive 3x3x3 puzzle cube")
set(CPACK_PACKAGE_DESCRIPTION "\
Tumbral shows a 3x3x3 puzzle cube in a window. Orbit the view with the right
mouse button and zoom with the wheel; click two edge cubies of one layer and
that layer turns a quarter turn. The restore button, or the R key, puts the
puzzle and the view back to the start.
.
It draws with its own software rasterizer and needs no graphics hardware;
without a display it runs headless and can write its frames to PNG files.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-wqy-microhei | fonts-noto-cjk")

include(CPack)
