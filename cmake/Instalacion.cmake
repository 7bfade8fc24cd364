# What `cmake --install` puts where (the usual GNUInstallDirs places), and the
# Debian package CPack makes of it (scripts/paquete).

install(TARGETS rp_oproduccion rp_base RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${RP_DATOS_BUILD}/demo.db DESTINATION ${CMAKE_INSTALL_DATADIR}/rp_oproduccion)
# The schemas rp_base creates, for an administrator preparing a server by hand.
install(FILES ${CMAKE_SOURCE_DIR}/db/sql/esquema_sqlite.sql
              ${CMAKE_SOURCE_DIR}/db/sql/esquema_postgres.sql
              ${CMAKE_SOURCE_DIR}/db/sql/vistas.sql
        DESTINATION ${CMAKE_INSTALL_DATADIR}/rp_oproduccion/sql)
# The desktop's menu shows the icon the window wears by default.
install(FILES ${CMAKE_SOURCE_DIR}/src/session/iconos/TELVARO.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME rp_oproduccion.svg)
install(FILES ${CMAKE_SOURCE_DIR}/docs/rp_oproduccion.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual page carries the project's version and goes compressed, as Debian
# keeps manual pages.
configure_file(${CMAKE_SOURCE_DIR}/docs/rp_oproduccion.1 ${CMAKE_BINARY_DIR}/man/rp_oproduccion.1
    @ONLY)
set(RP_MAN ${CMAKE_BINARY_DIR}/man/rp_oproduccion.1.gz)
add_custom_command(OUTPUT ${RP_MAN}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_BINARY_DIR}/man/rp_oproduccion.1
            ${RP_MAN}
    DEPENDS ${CMAKE_BINARY_DIR}/man/rp_oproduccion.1
    VERBATIM)
add_custom_target(rp_man ALL DEPENDS ${RP_MAN})
install(FILES ${RP_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(RP_MANTENEDOR "rp_oproduccion <rp_oproduccion@localhost>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rp-oproduccion)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Reporte de órdenes de producción con los insumos y los kilos que consumen")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lista las órdenes de producción de la base de la suite (SQLite o un servidor\n"
    "por ODBC) con los insumos de la lista de materiales de cada artículo y los\n"
    "kilos estimados; exporta la grilla a Excel, HTML y PDF, en ventana o por línea\n"
    "de comandos. Incluye rp_base, que crea la base de demostración.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RP_MANTENEDOR}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link come from dpkg-shlibdeps; what Qt loads by
# name at run time it cannot see: the SQL drivers (both are loaded whenever a
# connection is made), the SVG plugins that draw the icons, and unixODBC's
# driver manager set-up for data sources.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, libqt6svg6, unixodbc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql, tdsodbc, gnumeric | libreoffice-calc")
include(CPack)
