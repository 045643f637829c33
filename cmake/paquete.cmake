# Installation of Telmora as a Debian package (cpack -G DEB in a tree configured with
# -DTELMORA_PAQUETE=ON): the programs in bin, the two libraries in the installation's own folder
# of libraries, the settings file as a configuration file, a desktop entry with its icon,
# manual pages made from the programs' --help, bash completion made from telmora-cli's command
# table, and the Debian copyright and changelog.
find_program(TELMORA_HELP2MAN help2man REQUIRED)
find_program(TELMORA_GZIP gzip REQUIRED)

set(TELMORA_MANTENEDOR "Equipo de Telmora <telmora@example.org>" CACHE STRING
    "Maintainer of the Debian package")
set(paquete ${PROJECT_SOURCE_DIR}/paquete)
set(generado ${CMAKE_BINARY_DIR}/paquete)
file(MAKE_DIRECTORY ${generado})

# Manual pages, from each program's --help and --version as built.
function(telmora_manual programa descripcion)
  set(salida ${generado}/${programa}.1.gz)
  add_custom_command(
    OUTPUT ${salida}
    COMMAND ${CMAKE_COMMAND} -DPROGRAMA=$<TARGET_FILE:${programa}> -DNOMBRE=${programa}
            "-DDESCRIPCION=${descripcion}" -DSALIDA=${salida} -DHELP2MAN=${TELMORA_HELP2MAN}
            -DGZIP=${TELMORA_GZIP} -P ${PROJECT_SOURCE_DIR}/cmake/manual.cmake
    DEPENDS ${programa} ${PROJECT_SOURCE_DIR}/cmake/manual.cmake
    COMMENT "Manual page ${programa}(1)"
    VERBATIM)
  install(FILES ${salida} DESTINATION share/man/man1)
  set(TELMORA_PAQUETE_GENERADOS ${TELMORA_PAQUETE_GENERADOS} ${salida} PARENT_SCOPE)
endfunction()
telmora_manual(telmora "visor y control de calidad de hojas cartográficas")
telmora_manual(telmora-cli "herramientas de Telmora sin ventana")

# Bash completion, written by telmora-cli from its own table of commands and options.
set(completado ${generado}/telmora-cli.bash)
add_custom_command(
  OUTPUT ${completado}
  COMMAND telmora-cli --completado-bash > ${completado}
  DEPENDS telmora-cli
  COMMENT "Bash completion of telmora-cli"
  VERBATIM)

# The Debian changelog of a native package, for this version.
string(TIMESTAMP TELMORA_FECHA_PAQUETE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${paquete}/changelog.in ${generado}/changelog @ONLY)
add_custom_command(
  OUTPUT ${generado}/changelog.gz
  COMMAND ${TELMORA_GZIP} -9nkf ${generado}/changelog
  DEPENDS ${generado}/changelog
  VERBATIM)

add_custom_target(paquete_generados ALL
                  DEPENDS ${TELMORA_PAQUETE_GENERADOS} ${completado} ${generado}/changelog.gz)

install(TARGETS telmora telmora-cli RUNTIME DESTINATION bin)
install(TARGETS Orogrid proyeccion LIBRARY DESTINATION ${TELMORA_DIR_BIBLIOTECAS})
install(TARGETS telmora-cli-sig RUNTIME DESTINATION ${TELMORA_DIR_BIBLIOTECAS})
get_filename_component(carpeta_instalacion ${TELMORA_INSTALACION} DIRECTORY)
get_filename_component(fichero_instalacion ${TELMORA_INSTALACION} NAME)
install(FILES ${paquete}/instalacion.ini DESTINATION ${carpeta_instalacion}
        RENAME ${fichero_instalacion})
install(FILES ${paquete}/telmora.desktop DESTINATION share/applications)
install(FILES ${paquete}/telmora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${completado} DESTINATION share/bash-completion/completions RENAME telmora-cli)
install(FILES ${paquete}/copyright ${generado}/changelog.gz DESTINATION share/doc/telmora)

file(WRITE ${generado}/conffiles "${TELMORA_INSTALACION}\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME telmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TELMORA_MANTENEDOR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "visor y control de calidad de hojas cartográficas")
# The summary is the synopsis; this, the rest of the description.
set(CPACK_PACKAGE_DESCRIPTION
    "Telmora abre una hoja de entidades (.bin) de la cadena de producción con su
tabla de códigos Vekt.tab y su paleta Vekt.pal, la dibuja a cualquier escala y
la comprueba y repara: duplicados, puntos dobles, topología, depuración de la
red, cotas, control de pares y de errores. telmora-cli ejecuta las mismas
herramientas sin ventana; las bibliotecas Orogrid (cota sobre un modelo del
terreno) y proyeccion acompañan al programa.")
# The libraries the programs link are found by dpkg-shlibdeps; what Qt loads by name at run
# time cannot be, and is named here: the platform plugins (the program's windows, and the
# offscreen platform on which telmora-cli draws) and the SQLite driver of the databases.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${generado}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
