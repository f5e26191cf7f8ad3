# One INTERFACE target carries the language standard, the warnings and the Qt
# defines; every library and executable of the project links it.
add_library(vantrel_common INTERFACE)
target_compile_features(vantrel_common INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(vantrel_common INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(vantrel_common INTERFACE
  QT_DISABLE_DEPRECATED_UP_TO=0x060000
  VANTREL_VERSION_TEXT="V0.0.19")
target_include_directories(vantrel_common INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(VANTREL_SANITIZE)
  target_compile_options(vantrel_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vantrel_common INTERFACE -fsanitize=address,undefined)
endif()
