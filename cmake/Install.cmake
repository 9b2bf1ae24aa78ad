# What `cmake --install` places under the prefix, and the Debian package CPack makes
# of it (`cpack -G DEB` in a build folder configured with -DCMAKE_INSTALL_PREFIX=/usr).
include(GNUInstallDirs)

install(TARGETS hallwire hallwire-send hallwire-listen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(data ${CMAKE_SOURCE_DIR}/data)
install(FILES ${data}/hallwire.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/org.example.Hallwire.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${data}/icons/hallwire-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME hallwire.png)
endforeach()
install(FILES ${data}/icons/hallwire.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${HALLWIRE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The program's data folder, found from bin/ as ../share/hallwire.
install(FILES ${HALLWIRE_RING_WAV} ${CMAKE_SOURCE_DIR}/app/help/hallwire.html DESTINATION ${CMAKE_INSTALL_DATADIR}/hallwire)
install(FILES ${HALLWIRE_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/hallwire/translations)
install(FILES ${data}/copyright ${HALLWIRE_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hallwire)
install(FILES ${data}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME hallwire)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hallwire)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Hallwire maintainers")
set(CPACK_PACKAGE_CONTACT "Hallwire maintainers <maintainers@hallwire.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serverless chat for the people of one local network")
# Lines under 80 characters: dpkg shows them as written.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Hallwire shows the short messages that other copies on the local network"
  "send it, and sends to one computer, to a workgroup or to every computer at"
  "once. It lives in the notification area, blinks when a message arrives and"
  "may open its window or ring. There is no server."
  ""
  "The command-line tools hallwire-send and hallwire-listen send and receive"
  "from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # hallwire_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# shlibdeps finds libqt6svg6 through the pictures' link to Qt SVG; the same package holds
# the SVG icon engine plugin that draws the installed theme's scalable icon.
# Qt plays wave files through GStreamer's wavparse, which this package holds.
# Qt's own translations give the standard buttons and dialogs the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-good, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
