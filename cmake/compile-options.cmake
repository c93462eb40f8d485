# Compiler settings shared by the native and the Windows build trees.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Sources are UTF-8; every user-facing text is Windows-1252 single bytes.
add_compile_options(
  $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>
  $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1252>
  $<$<COMPILE_LANGUAGE:CXX>:-Wall>
  $<$<COMPILE_LANGUAGE:CXX>:-Wextra>
)
if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
# Both trees build without a warning; a new one stops the build (-DORVI_WARNINGS_AS_ERRORS=OFF to look
# past it while working).
option(ORVI_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)
if(ORVI_WARNINGS_AS_ERRORS)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
endif()
