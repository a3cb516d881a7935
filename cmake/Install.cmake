# The installed program and its Debian package (`make package`):
#   /usr/bin/aostrack, /usr/bin/aostrack-cli
#   /usr/lib/<triplet>/aostrack/     the receiver library, loaded by name
#   /usr/share/aostrack/             the example station the first run copies
#   /usr/share/applications, icons, metainfo, man pages, doc/aostrack/copyright
# The programs read sat.ini beside themselves, else ~/.config/aostrack/sat.ini
# (core/SettingsLocation.h); nothing is ever written below /usr.
include(GNUInstallDirs)

set(aostrack_share ${CMAKE_INSTALL_DATADIR}/aostrack)
set(aostrack_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(aostrack_generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS aostrack aostrack-cli RUNTIME DESTINATION bin)
if(TARGET ExtIO_FCD_Quillon)
  # A private folder: the library is a plug-in, not for other programs to link.
  install(TARGETS ExtIO_FCD_Quillon LIBRARY DESTINATION ${AOSTRACK_INSTALL_PLUGINDIR})
endif()

# The example station: sat.ini, the element files, the frequency list and,
# when it exists, the SatNOGS transmitter list.
file(GLOB aostrack_examples CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/examples/sat.ini
  ${PROJECT_SOURCE_DIR}/examples/amateur.*
  ${PROJECT_SOURCE_DIR}/examples/doppler.sql
  ${PROJECT_SOURCE_DIR}/examples/transmitters*.json)
install(FILES ${aostrack_examples} ${PROJECT_SOURCE_DIR}/radio/plugin/receiver.ini
  DESTINATION ${aostrack_share})
# The headless station as a systemd user service (systemctl --user enable).
install(FILES ${PROJECT_SOURCE_DIR}/examples/aostrack-track.service
  DESTINATION lib/systemd/user)
# The world map's land data beside the example station, where the program
# looks for it (../share/aostrack from its own folder).
install(FILES ${PROJECT_SOURCE_DIR}/data/land-50m.bin DESTINATION ${aostrack_share})

# Desktop integration.
install(FILES ${aostrack_packaging}/aostrack.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${aostrack_packaging}/aostrack.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${aostrack_packaging}/aostrack-256.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME aostrack.png)
configure_file(${aostrack_packaging}/org.aostrack.aostrack.metainfo.xml
  ${aostrack_generated}/org.aostrack.aostrack.metainfo.xml @ONLY)
install(FILES ${aostrack_generated}/org.aostrack.aostrack.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog, compressed as Debian wants them (gzip -n: no
# name or time stamp, so that the package builds the same every time).
set(aostrack_compressed)
foreach(source aostrack.1 aostrack-cli.1 changelog)
  configure_file(${aostrack_packaging}/${source} ${aostrack_generated}/${source} @ONLY)
  add_custom_command(OUTPUT ${aostrack_generated}/${source}.gz
    COMMAND gzip -9nkf ${aostrack_generated}/${source}
    DEPENDS ${aostrack_generated}/${source}
    VERBATIM)
  list(APPEND aostrack_compressed ${aostrack_generated}/${source}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${aostrack_compressed})
add_dependencies(programs package_files)
install(FILES ${aostrack_generated}/aostrack.1.gz ${aostrack_generated}/aostrack-cli.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${aostrack_packaging}/copyright ${aostrack_generated}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: build/aostrack_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME aostrack)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
# Debian's place for packaged programs, whatever CMAKE_INSTALL_PREFIX says
# for `cmake --install` (the programs find their library relative to
# themselves, so both work).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
  "The aostrack developers <aostrack@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "real-time satellite tracker for amateur-radio ground stations")
set(CPACK_PACKAGE_DESCRIPTION
  "aostrack follows one satellite four times a second from its element sets,
counts down to the next acquisition or loss of signal, plots the pass and
lists the passes of the next 24 hours. It keeps a receiver on the
Doppler-shifted downlink through hamlib's rigctld, steers the antenna rotor
with EasyComm commands or through rotctld, and refreshes its element sets
from the internet. aostrack-cli does the same without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the platform
# plug-ins of the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libhamlib-utils")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
