# What the packages hold and how CPack makes them: the NSIS installer and the zip of the Windows
# programs (Windows tree), the Debian package of the native tools (native tree). scripts/package runs it.
set(CPACK_PACKAGE_VENDOR "Tavelo Instrumentos")
set(CPACK_PACKAGE_CONTACT "Tavelo Instrumentos <suporte@tavelo.example>")
set(CPACK_PACKAGE_VERSION ${ORVI_VERSION_TEXT})
set(CPACK_PACKAGE_DIRECTORY ${ORVI_OUTPUT_ROOT}/packages)
set(packaging_dir ${CMAKE_CURRENT_LIST_DIR}/packaging)

if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGE_NAME "Orvi")
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurador do Orvi - Transmissor Inteligente")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orvi")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Orvi")
  set(CPACK_NSIS_DISPLAY_NAME "Configurador Orvi")
  set(CPACK_NSIS_PACKAGE_NAME "Configurador Orvi ${ORVI_VERSION_TEXT}")
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/launcher/configurador.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/launcher/configurador.ico)
  # The installer's own version resource wants four numbers.
  set(CPACK_NSIS_FILE_VERSION ${PROJECT_VERSION})
  # Our installer script (NSIS.template.in): Portuguese only, 64-bit, explicit shortcuts.
  list(PREPEND CMAKE_MODULE_PATH ${packaging_dir})

  # The programs side by side, as the launcher expects them.
  install(TARGETS Orvi Configurador RUNTIME DESTINATION .)
  if(TARGET orvictl)
    install(TARGETS orvictl RUNTIME DESTINATION .)
  endif()
  # The user guide that the build puts beside the programs (whatever pages and pictures it has).
  install(DIRECTORY ${ORVI_OUTPUT_ROOT}/dist/ DESTINATION .
          FILES_MATCHING PATTERN "*.htm" PATTERN "*.html" PATTERN "*.css" PATTERN "*.png" PATTERN "*.gif"
                         PATTERN "*.jpg" PATTERN "*.svg" PATTERN "*.hlp" PATTERN "*.HLP")

  # The read-me in the code page and line ends that Notepad on any Windows shows right.
  configure_file(${packaging_dir}/LEIA-ME.txt.in ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.utf8 @ONLY)
  file(READ ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.utf8 readme)
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.crlf "${readme}")
  execute_process(COMMAND iconv -f UTF-8 -t CP1252 ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.crlf
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.txt RESULT_VARIABLE iconv_result)
  if(NOT iconv_result EQUAL 0)
    message(FATAL_ERROR "LEIA-ME.txt.in has text outside Windows-1252")
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/packaging/LEIA-ME.txt DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  # Debian wants stripped programs; the Windows programs ship exactly as tested.
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_NAME "orvi-tools")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tools for the Orvi temperature transmitter")
  # The long description below the summary line; CPack indents it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "orvi-sim simulates one or more Orvi transmitters (Modbus RTU slaves) on a
pseudo-terminal, so that the configurator can be learned, demonstrated and
tested without hardware.")

  # Debian wants manual pages and the changelog compressed, without a time stamp.
  function(orvi_install_compressed source destination)
    get_filename_component(name ${source} NAME)
    set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
    add_custom_command(OUTPUT ${copy}.gz
                       COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
                       COMMAND gzip -9nf ${copy}
                       DEPENDS ${source} VERBATIM)
    add_custom_target(package-${name} ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${destination})
  endfunction()
  function(orvi_install_tool target man_page)
    install(TARGETS ${target} RUNTIME DESTINATION bin)
    orvi_install_compressed(${man_page} share/man/man1)
  endfunction()
  orvi_install_tool(orvi-sim ${PROJECT_SOURCE_DIR}/tools/orvi-sim/orvi-sim.1)
  if(TARGET orvictl)
    orvi_install_tool(orvictl ${PROJECT_SOURCE_DIR}/tools/orvictl/orvictl.1)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}
orvictl reads, saves, loads and changes a transmitter's configuration from
the command line.")
  endif()
  install(FILES ${packaging_dir}/copyright DESTINATION share/doc/${CPACK_PACKAGE_NAME})
  configure_file(${packaging_dir}/changelog.in ${CMAKE_BINARY_DIR}/packaging/source/changelog @ONLY)
  orvi_install_compressed(${CMAKE_BINARY_DIR}/packaging/source/changelog share/doc/${CPACK_PACKAGE_NAME})
endif()

include(CPack)
