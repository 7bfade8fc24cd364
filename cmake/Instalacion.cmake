# What `cmake --install` puts where (the usual GNUInstallDirs places), and the
# Debian package CPack makes of it (scripts/paquete).

# The package's name, which Debian also gives its documentation folder.
set(RP_PAQUETE rp-oproduccion)
set(RP_DOCS ${CMAKE_INSTALL_DATADIR}/doc/${RP_PAQUETE})

install(TARGETS rp_oproduccion rp_base RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (`cmake --install --strip`, and every package) drops the
# compiler's notes too, as Debian's own packages are stripped.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(programa rp_oproduccion rp_base)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                    --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${programa}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")
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

# Manual pages and the Debian changelog go compressed, as Debian keeps them;
# gzip -n leaves the build's time out, so the same sources give the same file.
function(rp_comprimir fuente destino)
    add_custom_command(OUTPUT ${destino}
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${fuente} ${destino}
        DEPENDS ${fuente}
        VERBATIM)
endfunction()

# The pages are in Spanish, the programs' language: the same page serves the
# Spanish locales (man/es) and every other one.
set(RP_MANUALES)
foreach(pagina rp_oproduccion rp_base)
    configure_file(${CMAKE_SOURCE_DIR}/docs/${pagina}.1 ${CMAKE_BINARY_DIR}/man/${pagina}.1 @ONLY)
    rp_comprimir(${CMAKE_BINARY_DIR}/man/${pagina}.1 ${CMAKE_BINARY_DIR}/man/${pagina}.1.gz)
    list(APPEND RP_MANUALES ${CMAKE_BINARY_DIR}/man/${pagina}.1.gz)
endforeach()
install(FILES ${RP_MANUALES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${RP_MANUALES} DESTINATION ${CMAKE_INSTALL_MANDIR}/es/man1)

# The package's version is the project's with a Debian revision; the changelog
# must open with it, or the package would describe another one.
set(RP_REVISION_DEBIAN 1 CACHE STRING
    "Debian revision of the package: its version is <project version>-<revision>")
set(RP_VERSION_PAQUETE ${PROJECT_VERSION}-${RP_REVISION_DEBIAN})
file(STRINGS ${CMAKE_SOURCE_DIR}/docs/changelog.Debian rp_cambios LIMIT_COUNT 1)
if(NOT rp_cambios MATCHES "^${RP_PAQUETE} \\(${RP_VERSION_PAQUETE}\\) ")
    message(FATAL_ERROR "docs/changelog.Debian must open with an entry for ${RP_PAQUETE} "
        "(${RP_VERSION_PAQUETE}); it opens with: ${rp_cambios}")
endif()
rp_comprimir(${CMAKE_SOURCE_DIR}/docs/changelog.Debian ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_target(rp_docs_comprimidos ALL
    DEPENDS ${RP_MANUALES} ${CMAKE_BINARY_DIR}/changelog.Debian.gz)

# The operator's and administrator's guide, with its pictures, and what a
# Debian package must carry; the developer README stays in the source.
install(FILES ${CMAKE_SOURCE_DIR}/docs/guia.html ${CMAKE_SOURCE_DIR}/docs/copyright
              ${CMAKE_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${RP_DOCS})
install(FILES ${CMAKE_SOURCE_DIR}/docs/img/ventana-cargada.png
              ${CMAKE_SOURCE_DIR}/docs/img/libro-gnumeric.png
              ${CMAKE_SOURCE_DIR}/docs/img/vista-previa.png
        DESTINATION ${RP_DOCS}/img)
# The guide registered with doc-base, so the desktop's help browsers list it.
install(FILES ${CMAKE_SOURCE_DIR}/docs/doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
        RENAME ${RP_PAQUETE})
# What lintian reports that does not apply to a package built for the suite's
# workstations, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/docs/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${RP_PAQUETE})

# Who answers for the package: an organisation that builds it for its own
# workstations names itself here (cmake -DRP_MANTENEDOR="Name <address>"). The
# default's domain is one reserved for examples, since the project owns none.
# A build folder configured before may still hold the old placeholder, an
# address no mail can reach: it gives way to the default.
set(rp_mantenedor_defecto "Equipo de rp_oproduccion <rp-oproduccion@example.com>")
set(RP_MANTENEDOR "${rp_mantenedor_defecto}" CACHE STRING
    "Maintainer field of the Debian package: \"Name <e-mail address>\"")
if(RP_MANTENEDOR STREQUAL "rp_oproduccion <rp_oproduccion@localhost>")
    set_property(CACHE RP_MANTENEDOR PROPERTY VALUE "${rp_mantenedor_defecto}")
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RP_PAQUETE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${RP_REVISION_DEBIAN})
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
# The libraries the programs link come from dpkg-shlibdeps (libodbc2 among
# them); what Qt loads by name at run time it cannot see: the SQL drivers
# (both are loaded whenever a connection is made) and the SVG plugins that draw
# the icons. unixodbc only adds isql and odbcinst, an administrator's tools.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "unixodbc, qt6-translations-l10n, xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql, tdsodbc, gnumeric | libreoffice-calc")
include(CPack)
