# The framework as a package for other projects. In the tree, TumbralKit (alias
# TumbralKit::TumbralKit) is everything a program links: the framework, the
# platform with its built-in modules, and the process entry (main → wWinMain).
# `cmake --install <build> --component dev` puts the public headers under
# include/tumbral (repository paths kept, so "common/..." and "platform/..."
# includes work unchanged), the static libraries under lib, and the package
# configuration under lib/cmake/TumbralKit, so that an outside project does
# find_package(TumbralKit REQUIRED) and links TumbralKit::TumbralKit.
include(CMakePackageConfigHelpers)

add_library(TumbralKit INTERFACE)
target_link_libraries(TumbralKit INTERFACE tumbral_framework platform_entry)
target_compile_features(TumbralKit INTERFACE cxx_std_20)
add_library(TumbralKit::TumbralKit ALIAS TumbralKit)
# Libraries built with the sanitizers need their run-time libraries in the program.
if(TUMBRAL_SANITIZE)
  target_link_options(TumbralKit INTERFACE -fsanitize=address,undefined)
endif()

set(_kit_include include/tumbral)
set(_kit_cmake lib/cmake/TumbralKit)
set(_kit_targets TumbralKit tumbral_framework platform_entry tumbral_platform platform_builtin
  platform_uniscribe platform_d3dx9 platform_d3d9 platform_core platform_sdl platform_headless platform_base)

install(TARGETS ${_kit_targets} EXPORT TumbralKitTargets
  ARCHIVE DESTINATION lib COMPONENT dev
  INCLUDES DESTINATION ${_kit_include})
install(EXPORT TumbralKitTargets NAMESPACE TumbralKit:: DESTINATION ${_kit_cmake} COMPONENT dev)

# Public headers: every header of the framework, and the platform's own
# headers (the files directly in platform/). platform/backend.h is left out: it
# is the tests' door into the platform's internals.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/common/ DESTINATION ${_kit_include}/common COMPONENT dev
  FILES_MATCHING PATTERN "*.h" PATTERN "media" EXCLUDE)
file(GLOB _kit_platform_headers ${PROJECT_SOURCE_DIR}/platform/*.h ${PROJECT_SOURCE_DIR}/platform/*.inl)
list(REMOVE_ITEM _kit_platform_headers ${PROJECT_SOURCE_DIR}/platform/backend.h)
install(FILES ${_kit_platform_headers} DESTINATION ${_kit_include}/platform COMPONENT dev)

# The package's version follows the project's once it has one.
if(PROJECT_VERSION)
  set(_kit_version ${PROJECT_VERSION})
else()
  set(_kit_version 0.1.0)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TumbralKitConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TumbralKitConfig.cmake INSTALL_DESTINATION ${_kit_cmake})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TumbralKitConfigVersion.cmake
  VERSION ${_kit_version} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TumbralKitConfig.cmake ${PROJECT_BINARY_DIR}/TumbralKitConfigVersion.cmake
  DESTINATION ${_kit_cmake} COMPONENT dev)
