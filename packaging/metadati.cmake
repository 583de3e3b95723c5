# SPDX-License-Identifier: GPL-3.0-or-later
# What a distribution wants beside the program: the manual pages, the menu
# entry, the software-centre metadata, the icons in every size, the copyright
# file and the changelog. cmake --install and the Debian package install them
# all; the checks that Debian's own tools pass on them are tests.

# The release's date; its version is the project's.
set(CONTAVOCE_RELEASE_DATE 2026-12-08)
set(CONTAVOCE_ID org.example.contavoce)
execute_process(COMMAND date -R -u -d "${CONTAVOCE_RELEASE_DATE} 12:00" OUTPUT_VARIABLE
                        CONTAVOCE_RELEASE_DATE_DEB OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# The screenshot's size, from its PNG header (width and height at bytes 16-23).
set(schermata ${CMAKE_SOURCE_DIR}/docs/screenshot.png)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${schermata})
file(READ ${schermata} testa OFFSET 16 LIMIT 8 HEX)
string(SUBSTRING "${testa}" 0 8 w)
string(SUBSTRING "${testa}" 8 8 h)
math(EXPR CONTAVOCE_SCREENSHOT_WIDTH "0x${w}")
math(EXPR CONTAVOCE_SCREENSHOT_HEIGHT "0x${h}")

set(metadati ${CMAKE_CURRENT_BINARY_DIR}/metadati)
set(metainfo ${metadati}/${CONTAVOCE_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${CONTAVOCE_ID}.metainfo.xml.in ${metainfo} @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/changelog.in ${metadati}/changelog @ONLY)

# Manual pages and the changelog compressed as Debian wants them: gzip -9,
# without the name and time stamp, so that every build gives the same bytes.
find_program(CONTAVOCE_GZIP gzip REQUIRED)
set(compressi)
foreach(pagina contavoce contavoce-cli installa-inf)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${pagina}.1.in ${metadati}/${pagina}.1 @ONLY)
  list(APPEND compressi ${metadati}/${pagina}.1)
endforeach()
list(APPEND compressi ${metadati}/changelog)
set(file_gz)
foreach(f IN LISTS compressi)
  add_custom_command(OUTPUT ${f}.gz COMMAND ${CONTAVOCE_GZIP} -9nkf ${f} DEPENDS ${f}
                     COMMENT "Compressing ${f}" VERBATIM)
  list(APPEND file_gz ${f}.gz)
endforeach()
add_custom_target(contavoce_metadati ALL DEPENDS ${file_gz})

install(FILES ${metadati}/contavoce.1.gz ${metadati}/contavoce-cli.1.gz
              ${metadati}/installa-inf.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${CONTAVOCE_ID}.desktop DESTINATION share/applications)
install(FILES ${metainfo} DESTINATION share/metainfo)
install(DIRECTORY ${CONTAVOCE_ICON_DIR}/hicolor DESTINATION share/icons)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/copyright ${metadati}/changelog.gz
        DESTINATION share/doc/contavoce)

# Each check is skipped (exit 77) with a message when its tool is missing;
# scripts/install-deps.sh installs them.
set(verifica ${CMAKE_CURRENT_SOURCE_DIR}/verifica-metadati.sh)
add_test(NAME metadata_appstream COMMAND bash ${verifica} appstream ${metainfo})
add_test(NAME metadata_desktop COMMAND bash ${verifica} desktop
                                       ${CMAKE_CURRENT_SOURCE_DIR}/${CONTAVOCE_ID}.desktop)
add_test(NAME metadata_man COMMAND bash ${verifica} man ${metadati}/contavoce.1
                                   ${metadati}/contavoce-cli.1 ${metadati}/installa-inf.1)
add_test(NAME package_lintian COMMAND bash ${verifica} lintian ${CMAKE_BINARY_DIR})
set_tests_properties(metadata_appstream metadata_desktop metadata_man package_lintian
                     PROPERTIES SKIP_RETURN_CODE 77 LABELS package)
# cpack writes into the build folder's _CPack_Packages: one at a time.
set_tests_properties(package_lintian PROPERTIES RESOURCE_LOCK contavoce_cpack)
