# What `cmake --install` puts where, and the release packages CPack makes from it: a .deb on
# Linux, a .zip on Windows.
set(CPACK_PACKAGE_CONTACT "Tablemend developers <bugs@tablemend.example>")
if(WIN32)
  # A folder to unzip anywhere: the program, and the README and the licence with the line ends
  # Notepad shows.
  install(TARGETS tablemend RUNTIME DESTINATION .)
  foreach(document README.md LICENSE)
    file(READ "${PROJECT_SOURCE_DIR}/${document}" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    get_filename_component(name "${document}" NAME_WE)
    string(APPEND name ".txt")
    file(WRITE "${CMAKE_BINARY_DIR}/${name}" "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${document}")
    install(FILES "${CMAKE_BINARY_DIR}/${name}" DESTINATION .)
  endforeach()
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME "Tablemend-${PROJECT_VERSION}-win64")
  else()
    set(CPACK_PACKAGE_FILE_NAME "Tablemend-${PROJECT_VERSION}-win32")
  endif()
else()
  # What Debian's policy asks of a package: the manual page and the changelog compressed, and a
  # copyright file.
  include(DebianFiles)
  set(debian_dir "${CMAKE_BINARY_DIR}/debian")
  file(MAKE_DIRECTORY "${debian_dir}")
  tablemend_write_debian_changelog("${PROJECT_SOURCE_DIR}/CHANGELOG.md" "${debian_dir}/changelog"
                                   "${CPACK_PACKAGE_CONTACT}")
  tablemend_write_debian_copyright("${PROJECT_SOURCE_DIR}/LICENSE" "${debian_dir}/copyright"
                                   "${CPACK_PACKAGE_CONTACT}")
  tablemend_gzip_for_debian("${PROJECT_SOURCE_DIR}/man/tablemend.1" "${debian_dir}/tablemend.1.gz")
  tablemend_gzip_for_debian("${debian_dir}/changelog" "${debian_dir}/changelog.gz")
  add_custom_target(debian_files ALL DEPENDS "${debian_dir}/tablemend.1.gz"
                                             "${debian_dir}/changelog.gz")
  install(TARGETS tablemend RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(FILES "${debian_dir}/tablemend.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${debian_dir}/copyright"
                "${debian_dir}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  # The messages' own spelling ("writen") is the program's, kept on purpose.
  install(FILES "${PROJECT_SOURCE_DIR}/cmake/lintian-overrides" DESTINATION
          "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME tablemend)
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME tablemend)
set(CPACK_PACKAGE_VENDOR "Tablemend")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "give empty strings of a resource script's string tables a placeholder")
# Debian shows the description in 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tablemend updates a Windows resource script (an .rc file) in place: inside\n"
       "every STRINGTABLE block it gives each entry whose string is empty a\n"
       "placeholder, in the script's own encoding (ANSI, UTF-8 or UTF-16), keeping\n"
       "the first version as a backup and a history of every run in a log.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
