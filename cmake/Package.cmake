# The Debian package (scripts/package, or cpack -G DEB in a build folder): what cmake --install
# installs, under /usr. Its dependencies are the libraries the tool links, as dpkg-shlibdeps
# finds them (Qt 6, JsonCpp, libudev, zlib, libjpeg), the font it draws with and Qt's own
# translations; it recommends Qt's Wayland plugin. After installing, udev reads the
# controller's rule.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentor)
set(CPACK_PACKAGE_CONTACT "${ZENTOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for GSM access-control controllers")
set(CPACK_PACKAGE_DESCRIPTION [[
Reads, edits and writes the configuration, number base and event log of
GSM access-control controllers over a USB serial cable, through the maker's
cloud server, or from controllers that dial in over GPRS; updates their
firmware and captures tags with a desk RFID reader.]])
# cpack packs what was built (scripts/package builds first) and never starts a build itself.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# The install runs with /usr as its prefix (and the package's root as DESTDIR), so that the
# desktop entry names the installed paths.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-utils opens a downloaded file with the desktop's program for it; Qt's own dialogs speak
# Russian in the Russian window with qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, xdg-utils, qt6-translations-l10n")
# In a Wayland session the tool runs on Wayland itself with Qt's Wayland plugin (else through
# XWayland, where there is one).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/dist/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
