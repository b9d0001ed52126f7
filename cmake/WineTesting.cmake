# Running the Windows build's tests under Wine on a Linux build host. Makes the launcher script
# (TABLEMEND_WINE_RUN) that test discovery, the unit tests and the end-to-end runner go through,
# and the fixture tests that start one Wine server before the run and stop it after.
set(TABLEMEND_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-server.sh.in" "${CMAKE_BINARY_DIR}/wine-server.sh"
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TABLEMEND_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${TABLEMEND_WINE_RUN}")

function(tablemend_add_wine_server_fixture)
  add_test(NAME wine.start COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" start)
  add_test(NAME wine.stop COMMAND "${CMAKE_BINARY_DIR}/wine-server.sh" stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()
