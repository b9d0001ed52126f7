# What `cmake --install` puts where, and the release packages CPack makes from it: a .deb on
# Linux, a .zip on Windows.
if(WIN32)
  # A folder to unzip anywhere: the program and a README that Notepad shows with its line ends.
  install(TARGETS tablemend RUNTIME DESTINATION .)
  file(READ "${PROJECT_SOURCE_DIR}/README.md" readme)
  string(REPLACE "\r\n" "\n" readme "${readme}")
  string(REPLACE "\n" "\r\n" readme "${readme}")
  file(WRITE "${CMAKE_BINARY_DIR}/README.txt" "${readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/README.md")
  install(FILES "${CMAKE_BINARY_DIR}/README.txt" DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Tablemend-${PROJECT_VERSION}-win32")
else()
  install(TARGETS tablemend RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(FILES "${PROJECT_SOURCE_DIR}/man/tablemend.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME tablemend)
set(CPACK_PACKAGE_VENDOR "Tablemend")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Tablemend developers <bugs@tablemend.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "give empty strings of a resource script's string tables a placeholder")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Tablemend updates a Windows resource script (an .rc file) in place: inside every\n"
       "STRINGTABLE block it gives each entry whose string is empty a placeholder,\n"
       "keeping the first version as a backup and a history of every run in a log.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
