# The Debian package: `cpack -G DEB` in a build folder (scripts/package does
# the whole of it). The shared-library dependencies are read off the binaries
# by dpkg-shlibdeps; the ones loaded at run time or used by the bundled
# receiver simulator are named here.
set(CPACK_PACKAGE_NAME "vantrel-manager")
set(CPACK_PACKAGE_VENDOR "Tessavir")
set(CPACK_PACKAGE_CONTACT "Vantrel Manager developers <vantrel@tessavir.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion for a networked satellite receiver with recorder")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel Manager edits the channel list of a networked satellite receiver (satellites, LNB
configurations, transponders, TV and radio services, favourite and FastScan groups), moves files
both ways in a two-pane file manager and downloads and deletes recordings. It comes with
vantrel-cli, a command-line tool on the same libraries, and vantrel-receiver-sim, a receiver
simulator for trying it without a receiver.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "video")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X platform plugin and the SVG icon plugins are loaded by Qt at run time;
# Qt's own buttons and dialogs take their texts from Qt's translations; the
# simulator is Python on pyftpdlib; Help opens the manual through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n, python3, python3-pyftpdlib")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")

set(CPACK_GENERATOR "DEB")
include(CPack)
