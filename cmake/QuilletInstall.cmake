# Installed layout: lib/quillet/ is the program directory (the program and what ships beside
# it), bin/quillet a relative link to it, the desktop integration under share/. Test and
# benchmark executables are never installed.
set(QUILLET_APP_ID org.example.Quillet)
set(program_dir lib/quillet)
set(desktop_src ${CMAKE_SOURCE_DIR}/resources/desktop)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quillet RUNTIME DESTINATION ${program_dir})
install(FILES
  ${QUILLET_PROGRAM_DIR}/config.ini ${QUILLET_PROGRAM_DIR}/history.html
  ${QUILLET_PROGRAM_DIR}/reference.html ${QUILLET_PROGRAM_DIR}/bd-acces2k.blank
  DESTINATION ${program_dir})

file(MAKE_DIRECTORY ${desktop_out})
file(CREATE_LINK ../${program_dir}/quillet ${desktop_out}/quillet SYMBOLIC)
install(FILES ${desktop_out}/quillet DESTINATION bin)

configure_file(${desktop_src}/${QUILLET_APP_ID}.metainfo.xml
  ${desktop_out}/${QUILLET_APP_ID}.metainfo.xml @ONLY)
configure_file(${desktop_src}/quillet.1 ${desktop_out}/quillet.1 @ONLY)
configure_file(${desktop_src}/changelog ${desktop_out}/changelog @ONLY)

# Debian keeps manual pages and changelogs compressed, without time stamps (-n).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
find_program(RSVG_CONVERT_EXECUTABLE rsvg-convert REQUIRED)
foreach(doc quillet.1 changelog)
  add_custom_command(
    OUTPUT ${desktop_out}/${doc}.gz
    COMMAND ${GZIP_EXECUTABLE} -9nc ${desktop_out}/${doc} > ${desktop_out}/${doc}.gz
    DEPENDS ${desktop_out}/${doc}
    VERBATIM)
endforeach()
add_custom_command(
  OUTPUT ${desktop_out}/quillet.png
  COMMAND ${RSVG_CONVERT_EXECUTABLE} -w 48 -h 48 -o ${desktop_out}/quillet.png
          ${desktop_src}/quillet.svg
  DEPENDS ${desktop_src}/quillet.svg
  COMMENT "Rendering the 48x48 icon"
  VERBATIM)
add_custom_target(quillet_desktop_files ALL
  DEPENDS ${desktop_out}/quillet.1.gz ${desktop_out}/changelog.gz ${desktop_out}/quillet.png)

install(FILES ${desktop_src}/${QUILLET_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${desktop_out}/${QUILLET_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${desktop_src}/quillet.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${desktop_out}/quillet.png DESTINATION share/icons/hicolor/48x48/apps)
install(FILES ${desktop_out}/quillet.1.gz DESTINATION share/man/man1)
install(FILES ${desktop_src}/quillet.bash DESTINATION share/bash-completion/completions
  RENAME quillet)
install(FILES ${desktop_out}/changelog.gz ${desktop_src}/copyright DESTINATION share/doc/quillet)

# The service of `quillet serve` and its options go where the system looks for them: /lib and
# /etc for a /usr install (and for the package's staging of /usr), under the prefix otherwise.
install(CODE "
  if(CMAKE_INSTALL_PREFIX MATCHES \"^(.*)/usr$\")
    set(system_root \"\${CMAKE_MATCH_1}\")
  else()
    set(system_root \"\${CMAKE_INSTALL_PREFIX}\")
  endif()
  file(INSTALL \"${desktop_src}/quillet-serve.service\"
    DESTINATION \"\$ENV{DESTDIR}\${system_root}/lib/systemd/system\")
  file(INSTALL \"${desktop_src}/quillet-serve.default\"
    DESTINATION \"\$ENV{DESTDIR}\${system_root}/etc/default\")
  file(RENAME \"\$ENV{DESTDIR}\${system_root}/etc/default/quillet-serve.default\"
    \"\$ENV{DESTDIR}\${system_root}/etc/default/quillet-serve\")
")

# The Debian package: library dependencies from dpkg-shlibdeps, plus the plugins and
# translations Qt loads at run time, which no library links against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Quillet <quillet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catálogo de colecciones de MP3")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet recorre un CD o un árbol de directorios, lee la etiqueta ID3v1
de cada archivo MP3 y muestra el listado numerado; lo exporta como texto
o HTML, lo imprime y lo guarda en una base de datos local. Las mismas
órdenes funcionan en un terminal (quillet --help).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/quillet)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6sql6-sqlite, libqt6svg6, qt6-qpa-plugins, qt6-translations-l10n, libblkid1, libmicrohttpd12")
# A catalogue on a PostgreSQL server needs Qt's driver for it; the SQLite file needs nothing more.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
# The service's options are the administrator's: an upgrade keeps their changes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${desktop_src}/conffiles)
include(CPack)
