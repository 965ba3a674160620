# What `cmake --install` puts under the prefix, and the Debian package that
# CPack builds from it (`cpack -G DEB` in the build folder, or
# scripts/package). Only the three programs and their data are installed:
# tests, benchmarks and fuzz targets stay in the build folder.
include(GNUInstallDirs)

# The application's id: the names of its desktop entry, metainfo and icon.
set(TREVALON_APP_ID com.example.trevalon)
# The date of the release named by the project version; the metainfo
# carries both. Set it together with the version in project().
set(TREVALON_RELEASE_DATE 2026-12-08)
set(TREVALON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/trevalon)
set(TREVALON_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS trevalon laser-sim trevalon-ipc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration: the entry, the metainfo and the icons. The bitmaps
# are the program's own drawn window icon, rendered at build time, so that
# the desktop shows what the windows show; the scalable one is drawn by
# hand after the same design.
install(FILES ${TREVALON_PACKAGING}/com.example.trevalon.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${TREVALON_APP_ID}.desktop)
configure_file(${TREVALON_PACKAGING}/com.example.trevalon.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${TREVALON_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${TREVALON_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TREVALON_PACKAGING}/trevalon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TREVALON_APP_ID}.svg)

set(TREVALON_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_root ${CMAKE_BINARY_DIR}/packaging/icons)
add_executable(render-app-icon ${TREVALON_PACKAGING}/RenderAppIcon.cpp)
target_link_libraries(render-app-icon PRIVATE trevalon_app)
set_target_properties(render-app-icon PROPERTIES AUTOMOC OFF
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
set(icon_files "")
foreach(size IN LISTS TREVALON_ICON_SIZES)
  set(file ${icon_root}/${size}x${size}/apps/${TREVALON_APP_ID}.png)
  list(APPEND icon_files ${file})
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# A sanitized build must not fail on what the offscreen platform keeps
# until exit.
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:render-app-icon> ${icon_root} ${TREVALON_APP_ID} ${TREVALON_ICON_SIZES}
  DEPENDS render-app-icon
  COMMENT "Rendering the application icon")
add_custom_target(trevalon_icons ALL DEPENDS ${icon_files})

# Documentation and examples: the README with the picture it shows, and the
# user guide's folder, whatever it holds.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${TREVALON_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/main-window.png DESTINATION ${TREVALON_DOC_DIR}/docs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide/ DESTINATION ${TREVALON_DOC_DIR}/guide)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/trevalon-ipc/example.py
        DESTINATION ${TREVALON_DOC_DIR}/examples)
# An example only: a device rule is the administrator's choice, so it is
# never put where udev would read it.
install(FILES ${TREVALON_PACKAGING}/udev/60-trevalon-laser.rules
        DESTINATION ${TREVALON_DOC_DIR}/examples)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trevalon)
set(CPACK_PACKAGE_VENDOR "Trevalon")
set(CPACK_PACKAGE_CONTACT "Trevalon developers <support@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.example.com/trevalon)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program for pulsed Q-switched lasers")
set(CPACK_PACKAGE_INSTALL_DIRECTORY trevalon)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ser2net)
# The summary above is the first line; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Trevalon finds a pulsed, Q-switched laser on a serial port or through a
TCP relay host, switches its supply, sets its firing mode, rate, output,
wavelength, aperture, rotation, polarizer, illuminator and pulse width,
fires it, and watches its interlocks four times a second.
.
The package also holds laser-sim, a simulated laser for training and
tests, and trevalon-ipc, a command-line client of the program's
shared-memory mailbox. ser2net serves a laser to the program over the
network.")
include(CPack)
