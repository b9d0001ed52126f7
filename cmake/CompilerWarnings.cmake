# Warnings are errors everywhere the project builds; tablemend_warnings carries the flags.
add_library(tablemend_warnings INTERFACE)
if(MSVC)
  target_compile_options(tablemend_warnings INTERFACE /W4 /WX)
else()
  target_compile_options(tablemend_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)
endif()
