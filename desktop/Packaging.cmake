# The Debian package, made by CPack (`make package`): the programs in
# /usr/bin, their data in /usr/share/corvella and the desktop integration.
# The programs find their data from their own folder, so the package's
# prefix need not be the build's install prefix.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvella)
set(CPACK_PACKAGE_VENDOR "The Corvella developers")
set(CPACK_PACKAGE_CONTACT "The Corvella developers <corvella@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make and take on-screen tests")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvella Builder (corvbld) makes tests and learning pages: pages with questions, \
text, buttons, pictures, rich text and clips, laid out with the mouse. The player \
Corvella (corvview) takes such a test full screen and shows the score.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link come from dpkg-shlibdeps; what
# they load at run time is named here: Qt's platform, picture and SVG
# plugins, the GStreamer plugins that play clips (MIDI through the
# synthesiser and its sound font), the fonts without which the Windows
# metafile reader draws nothing, and fonts that tests are made with.
find_program(CORVELLA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(CORVELLA_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav, \
gstreamer1.0-plugins-bad, timgm6mb-soundfont | fluid-soundfont-gm, \
fonts-urw-base35, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")

include(CPack)
