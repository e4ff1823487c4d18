# Installation as a desktop program and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

foreach(program pennavox pennavox-cli pennavox-clock-sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

set(PENNAVOX_APP_ID org.pennavox.Pennavox)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PENNAVOX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PENNAVOX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/pennavox.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${size}x${size}/pennavox.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME pennavox)
set(CPACK_PACKAGE_VENDOR "The Pennavox developers")
set(CPACK_PACKAGE_CONTACT "Pennavox developers <pennavox@pennavox.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pigeon racing club management: members, races, clocks and results")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Dependencies come from the libraries the programs really link (dpkg-shlibdeps); the SQLite
# driver is a Qt plugin loaded at run time, so it is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
include(CPack)
