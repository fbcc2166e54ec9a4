# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build folder writes orvane_VERSION_amd64.deb, which
# installs everything `cmake --install` does under /usr. Its library dependencies are found from
# the binaries by dpkg-shlibdeps; the desktop's MIME, menu and icon caches are brought up to date
# by the triggers of the packages that own them, so the package has no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Orvane developers <dev@orvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build the face images of four-number playing cards")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libImageUtils.so is the program's own, beside it in /usr/lib/orvane: found through the run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# The long description; the summary above is its first line.
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane builds the 62 x 62 blue and red face images of cards for a four-number
card game, from a base, a main picture, four side values, a frame, an element
icon and arrows. Edit one card in a window, or keep a set of cards in a deck
(a CSV spreadsheet) or a folder of card files, and render whole decks with
orvane-render: card pictures, print-and-play PDF sheets with backs, tabletop
deck sheets and texture atlases.")

# What Debian wants beside every package: the licence in its machine-readable form and the
# changes, both compressed or plain as policy says.
string(TIMESTAMP ORVANE_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/assets/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
    COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
    VERBATIM)
add_custom_target(orvane_debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/assets/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION share/doc/orvane)

include(CPack)
