# The installed program: PREFIX/lib/vestra/ is the program folder, laid out as build/bin/
# is - the programs with the catalogue, the settings file, the document folders and the
# report template beside them, since the program finds all of these beside its own
# executable. PREFIX/bin/ links to the programs; the menu entry and the icon go to
# PREFIX/share/. A user who cannot write the program folder keeps the settings in a copy
# of his own (Vestra/Vestra.ini in the XDG config folder).

set(VESTRA_PROGRAM_FOLDER lib/vestra)
set(VESTRA_PROGRAMS vestra vestra-props vestra-rate)
if(TARGET vestra-select)
  list(APPEND VESTRA_PROGRAMS vestra-select)
endif()
if(TARGET vestra-schedule)
  list(APPEND VESTRA_PROGRAMS vestra-schedule)
endif()

# The program is not whole without its program folder: building it builds the catalogue.
# Everything that is installed builds as one target, vestra_programs.
add_dependencies(vestra vestra_catalogue)
add_custom_target(vestra_programs)
add_dependencies(vestra_programs ${VESTRA_PROGRAMS} vestra_catalogue)

# The build tree gets the shipped settings file once; after that it is the program's own,
# holding the choices made while running from build/bin/.
if(NOT EXISTS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Vestra.ini)
  file(MAKE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  file(COPY_FILE ${PROJECT_SOURCE_DIR}/resources/Vestra.ini
       ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Vestra.ini)
endif()

install(TARGETS ${VESTRA_PROGRAMS} RUNTIME DESTINATION ${VESTRA_PROGRAM_FOLDER})
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Vestra.db ${PROJECT_SOURCE_DIR}/resources/Vestra.ini
        DESTINATION ${VESTRA_PROGRAM_FOLDER})

# The report's documents and template, taken from the build's program folder whenever it
# holds them (both spellings of the folders that the catalogue names either way).
foreach(folder FotoW dimensionali schemi Schemi descrizioni Descrizioni)
  install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}
          DESTINATION ${VESTRA_PROGRAM_FOLDER} OPTIONAL)
endforeach()
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/intest.docx DESTINATION ${VESTRA_PROGRAM_FOLDER}
        OPTIONAL)

# Relative links, so that the tree can be moved and the package staged anywhere. Each is
# recorded in install_manifest.txt, so the uninstall removes it too.
foreach(program IN LISTS VESTRA_PROGRAMS)
  install(CODE "
    set(vestra_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    message(STATUS \"Installing: \${vestra_bin}/${program} -> ../${VESTRA_PROGRAM_FOLDER}/${program}\")
    file(MAKE_DIRECTORY \"\${vestra_bin}\")
    file(CREATE_LINK \"../${VESTRA_PROGRAM_FOLDER}/${program}\" \"\${vestra_bin}/${program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/bin/${program}\")")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vestra.desktop
        DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vestra.svg
        DESTINATION share/icons/hicolor/scalable/apps)

# cmake --build build --target uninstall: removes what the last cmake --install put down.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -DPROGRAM_FOLDER=${VESTRA_PROGRAM_FOLDER} -P ${CMAKE_CURRENT_LIST_DIR}/VestraUninstall.cmake
  COMMENT "Removing the installed Vestra"
  VERBATIM)

# The Debian package: cpack -G DEB in the build tree. The libraries the programs link are
# found by dpkg-shlibdeps, so a library added later (libzip for the reports) is declared
# without a change here; opening documents and addresses needs xdg-open.
set(CPACK_PACKAGE_NAME vestra)
set(CPACK_PACKAGE_VENDOR "Oska S.p.A.")
set(CPACK_PACKAGE_CONTACT "Oska S.p.A. <info@oska.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Selection calculator for hydronic terminal units")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Vestra rates every model of a series of fan coils, water cassettes, ducted\n"
  "units or unit heaters, with fixed-speed or EC fans, in cooling and heating at\n"
  "the design conditions typed in. The command-line tools vestra-select,\n"
  "vestra-rate and vestra-props run the same calculations for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Every rule is in the one component "Unspecified"; naming it makes the package's staging
# install keep its list in install_manifest_Unspecified.txt, so it never replaces the list
# of a real install, which the uninstall reads.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vestra;Unspecified;/")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.oska.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
