# nlohmann/json (Debian's nlohmann-json3-dev, header-only) for the journal and the --json outputs, in both
# trees. Only its own folder goes on the include path, through a folder of the build holding a link to it:
# /usr/include as a whole would put the host's C library headers in front of MinGW's.
find_path(ORVI_NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT ORVI_NLOHMANN_JSON_ROOT)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install the Debian package nlohmann-json3-dev")
endif()
set(orvi_json_include ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${orvi_json_include})
file(CREATE_LINK ${ORVI_NLOHMANN_JSON_ROOT}/nlohmann ${orvi_json_include}/nlohmann SYMBOLIC)
add_library(orvi_json INTERFACE)
target_include_directories(orvi_json SYSTEM INTERFACE ${orvi_json_include})
