# Running the Windows build's programs under Wine on a Linux build host. Makes the launcher
# script (TABLEMEND_WINE_RUN) that test discovery, the unit tests, the end-to-end runner and the
# check of the release zip go through, one that runs them as an ordinary user
# (TABLEMEND_WINE_RUN_AS_USER), and the fixture tests that start one Wine server before a
# test run and stop it after. A build without tests does without Wine when there is none.
#
# A 64-bit build goes straight to Wine's 64-bit loader. The `wine` command starts the 32-bit
# loader whenever it is installed, and a kernel without 32-bit emulation starts no 32-bit program
# at all, so only the 64-bit loader runs the tests on such a machine.
set(TABLEMEND_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(TABLEMEND_WINE_LOADER NAMES wine64 HINTS /usr/lib/wine /usr/lib64/wine)
  # The loader Wine starts the prefix's own 64-bit programs with, wineboot's services among them.
  set(TABLEMEND_WINE_LOADER_EXPORT "WINELOADER='${TABLEMEND_WINE_LOADER}'\nexport WINELOADER")
else()
  find_program(TABLEMEND_WINE_LOADER NAMES wine)
  set(TABLEMEND_WINE_LOADER_EXPORT "")
endif()
if(NOT TABLEMEND_WINE_LOADER)
  if(TABLEMEND_BUILD_TESTS)
    message(FATAL_ERROR "No Wine loader for ${CMAKE_SIZEOF_VOID_P}-byte pointers: the tests of "
                        "this build run under Wine (Debian: wine, with wine32:i386 or wine64)")
  endif()
  return()
endif()
set(TABLEMEND_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
set(TABLEMEND_WINE_RUN_AS_USER "${CMAKE_BINARY_DIR}/wine-run-user.sh")
foreach(script wine-run wine-run-user wine-server)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/${script}.sh.in" "${CMAKE_BINARY_DIR}/${script}.sh"
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                 GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR "${TABLEMEND_WINE_RUN}")

function(tablemend_add_wine_server_fixture)
  add_test(NAME wine.start COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" start)
  add_test(NAME wine.stop COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()
