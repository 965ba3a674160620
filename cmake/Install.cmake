# What `cmake --install` puts under the prefix, and the two Debian packages
# that CPack builds from it (`cpack -G DEB` in the build folder, or
# scripts/package): `trevalon`, the program with its tools and data, and
# `trevalon-tango`, the Tango device server with its systemd unit. Only the
# programs and their data are installed: tests, benchmarks and fuzz targets
# stay in the build folder.
include(GNUInstallDirs)

# Everything installed belongs to the package `trevalon` unless it names the
# component `tango`: a file added later without a component still lands in
# a package instead of in neither.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME trevalon)

# The application's id: the names of its desktop entry, metainfo and icon.
set(TREVALON_APP_ID com.example.trevalon)
# The date of the release named by the project version; the metainfo
# carries both. Set it together with the version in project().
set(TREVALON_RELEASE_DATE 2026-12-08)
set(TREVALON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/trevalon)
set(TREVALON_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS trevalon laser-sim trevalon-ipc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The device server and its unit template. The unit names the program
# without a folder, which systemd looks up in /usr/local/bin and /usr/bin,
# so the same file serves the package and an install under /usr/local. The
# folder is the one systemd reads packaged units from (/usr/lib/systemd/
# system under the package's prefix /usr), not the library folder, which
# carries the architecture.
install(TARGETS trevalon-tango RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tango)
install(FILES ${TREVALON_PACKAGING}/systemd/trevalon-tango@.service
        DESTINATION lib/systemd/system COMPONENT tango)

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

# The Debian packages, one per component.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL trevalon tango)
set(CPACK_PACKAGE_NAME trevalon)
set(CPACK_PACKAGE_VENDOR "Trevalon")
set(CPACK_PACKAGE_CONTACT "Trevalon developers <support@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.example.com/trevalon)
set(CPACK_PACKAGE_INSTALL_DIRECTORY trevalon)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Each package's dependencies are worked out by dpkg-shlibdeps from its
# programs' libraries: Qt for both, Tango and omniORB for the server.
set(CPACK_DEBIAN_TREVALON_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TANGO_PACKAGE_SHLIBDEPS ON)
# CPack would put one summary before both descriptions: without a summary
# of the project's own, the first line of each description is its package's
# summary.
set(CPACK_DEBIAN_TREVALON_PACKAGE_NAME trevalon)
set(CPACK_DEBIAN_TREVALON_PACKAGE_SUGGESTS ser2net)
set(CPACK_DEBIAN_TREVALON_DESCRIPTION
  "control program for pulsed Q-switched lasers
Trevalon finds a pulsed, Q-switched laser on a serial port or through a
TCP relay host, switches its supply, sets its firing mode, rate, output,
wavelength, aperture, rotation, polarizer, illuminator and pulse width,
fires it, and watches its interlocks four times a second.
.
The package also holds laser-sim, a simulated laser for training and
tests, and trevalon-ipc, a command-line client of the program's
shared-memory mailbox. ser2net serves a laser to the program over the
network.")
# The server can run without the Tango database (-nodb or -file=), so the
# database is only suggested.
set(CPACK_DEBIAN_TANGO_PACKAGE_NAME trevalon-tango)
set(CPACK_DEBIAN_TANGO_PACKAGE_SUGGESTS tango-db)
set(CPACK_DEBIAN_TANGO_DESCRIPTION
  "Tango Controls device server for pulsed Q-switched lasers
trevalon-tango serves the laser that Trevalon drives as a Tango device of
the class Trevalon, without a window: it finds the laser on a serial port
or through a TCP relay host, polls its status and interlocks, stops firing
on every fault, and offers the laser's settings as attributes and its
supply and firing as commands to Tango clients such as PyTango, Taurus
and Jive.
.
The package also holds the systemd unit template trevalon-tango@.service,
one instance per laser. The user guide of the package trevalon describes
the device.")
include(CPack)
