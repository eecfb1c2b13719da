# What `cmake --install` puts where, and the Debian package that `cpack -G DEB`
# makes of the same files:
#   bin/irwav, bin/irwav-play
#   share/man/man1/irwav.1.gz, share/man/man1/irwav-play.1.gz (not on Windows)
#   share/doc/irwav/README.md, LICENSE and the README's pictures
#   share/irwav/irwav.html and share/irwav/site/, when the web build has been
#   made (IRWAV_WEB_BUILD, by default build/web of the source tree)
include(GNUInstallDirs)

install(TARGETS irwav irwav-play RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(NOT WIN32)
  # The pages carry the release in their title line; installed compressed,
  # as Debian keeps its manual pages.
  foreach(page irwav.1 irwav-play.1)
    configure_file(docs/man/${page}.in ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    file(ARCHIVE_CREATE OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
      PATHS ${CMAKE_BINARY_DIR}/man/${page} FORMAT raw COMPRESSION GZip)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

# irwav-mqtt, where it is built: the program, its manual page and its
# systemd unit (which nothing enables), in share/man/man1/ and
# lib/systemd/system/.
if(TARGET irwav-mqtt)
  install(TARGETS irwav-mqtt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file(docs/man/irwav-mqtt.1.in ${CMAKE_BINARY_DIR}/man/irwav-mqtt.1 @ONLY)
  file(ARCHIVE_CREATE OUTPUT ${CMAKE_BINARY_DIR}/man/irwav-mqtt.1.gz
    PATHS ${CMAKE_BINARY_DIR}/man/irwav-mqtt.1 FORMAT raw COMPRESSION GZip)
  install(FILES ${CMAKE_BINARY_DIR}/man/irwav-mqtt.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The unit names the program by its installed path, which is known only
  # when installing (cpack installs under /usr whatever the build's prefix).
  install(CODE "
    file(READ \"${PROJECT_SOURCE_DIR}/systemd/irwav-mqtt.service.in\" unit)
    string(REPLACE \"@CMAKE_INSTALL_FULL_BINDIR@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
      unit \"\${unit}\")
    file(WRITE \"${CMAKE_BINARY_DIR}/systemd/irwav-mqtt.service\" \"\${unit}\")")
  install(FILES ${CMAKE_BINARY_DIR}/systemd/irwav-mqtt.service DESTINATION lib/systemd/system)
endif()

install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# The web page and its site come from the Emscripten build, which this one
# cannot make: they are installed, and packaged, when it has been made.
set(IRWAV_WEB_BUILD ${PROJECT_SOURCE_DIR}/build/web CACHE PATH
  "The web build (cmake --preset web) whose page and site are installed with the programs")
install(FILES ${IRWAV_WEB_BUILD}/irwav.html DESTINATION ${CMAKE_INSTALL_DATADIR}/irwav OPTIONAL)
install(DIRECTORY ${IRWAV_WEB_BUILD}/site/ DESTINATION ${CMAKE_INSTALL_DATADIR}/irwav/site OPTIONAL)

set(CPACK_PACKAGE_NAME irwav)
set(CPACK_PACKAGE_VENDOR "irwav developers")
set(CPACK_PACKAGE_CONTACT "irwav developers")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "irwav writes 48 of its 54 built-in TV power codes as 48 kHz stereo WAV files\n\
whose two channels, in antiphase, drive two infrared LEDs wired across a\n\
headphone jack. irwav-play plays the codes live on the sound card.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time libraries come from dpkg-shlibdeps, which reads what the
# programs link (the ALSA library for irwav-play, when the build found it);
# without dpkg-shlibdeps the ALSA library is named by hand.
find_program(IRWAV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(IRWAV_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
elseif(ALSA_FOUND)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libasound2 (>= 1.0.16)")
endif()
include(CPack)
