# The Debian package (cd build && cpack): the staged program folder under
# /opt/Kalvio6, a desktop entry with its icon. The program writes nothing
# there: when its folder is not writable it works in ~/.local/share/Kalvio6
# (see README, "Installing the package").
install(DIRECTORY ${KV_STAGE_DIR}/ DESTINATION opt/Kalvio6 USE_SOURCE_PERMISSIONS
        PATTERN "ports" EXCLUDE PATTERN "OutFile" EXCLUDE PATTERN "BackUp" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalvio6.desktop DESTINATION usr/share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalvio6.svg DESTINATION usr/share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvio6)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_PACKAGE_CONTACT "Kalvio6 developers <kalvio6@localhost>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kalvio6 developers <kalvio6@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control and data program of a building-materials testing press")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries found by dpkg-shlibdeps, plus the plugins Qt loads by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${KV_STAGE_DIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql, libreoffice-calc-nogui")
include(CPack)
