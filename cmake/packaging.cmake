# A Debian package of what the build installs: `cpack -G DEB` in the release
# build folder writes quorvalent_<version>_<arch>.deb. Its dependencies are
# the shared libraries the programs load, as dpkg-shlibdeps finds them.
# tools/check-package.sh holds it to lintian: the maintainer's real address,
# the copyright file in Debian's machine-readable format, the changelog
# (cmake/debian/) and the manual pages gzipped, and stripped programs (no
# debug symbols are kept: a release build has none).

set(CPACK_PACKAGE_NAME quorvalent)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D particle animation and screen saver")
# Debian shows the lines as they are: at most 80 characters each.
set(CPACK_PACKAGE_DESCRIPTION
    "Particle systems fed by orbiting emitters, carried by moving frames and
drawn in software at 25 frames per second: a desktop program that is also
an xscreensaver hack, and an offline renderer of frames and videos.")
set(CPACK_PACKAGE_CONTACT "Quorvalent developers <developers@quorvalent.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)

# A native package's changelog: its newest entry must name this version.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog QV_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT QV_CHANGELOG_HEAD MATCHES "^quorvalent \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog: the newest entry must be for version ${PROJECT_VERSION}")
endif()
set(QV_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quorvalent)
qv_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/debian/changelog ${QV_PACKAGE_DOC_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${QV_PACKAGE_DOC_DIR})

include(CPack)
