# A Debian package of what the build installs: `cpack -G DEB` in the release
# build folder writes quorvalent_<version>_<arch>.deb. Its dependencies are
# the shared libraries the programs load, as dpkg-shlibdeps finds them.

set(CPACK_PACKAGE_NAME quorvalent)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time 3D particle animation and screen saver")
set(CPACK_PACKAGE_DESCRIPTION
    "Particle systems fed by orbiting emitters, drawn in software at 25 frames per second: a desktop program that is also an xscreensaver hack, and an offline renderer of frames and videos.")
set(CPACK_PACKAGE_CONTACT "Quorvalent developers <quorvalent@invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
include(CPack)
