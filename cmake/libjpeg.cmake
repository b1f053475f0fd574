# libjpeg-turbo from Debian's source package, cross-built as a static library.
# Provides the imported target velmora::jpeg (jpeglib.h, jconfig.h, jmorecfg.h, jerror.h).
include(ExternalProject)

set(VELMORA_DEPS_DIR "${PROJECT_SOURCE_DIR}/.deps" CACHE PATH "Where third-party sources are unpacked")
set(_jpeg_src "${VELMORA_DEPS_DIR}/libjpeg-turbo")
set(_jpeg_prefix "${CMAKE_BINARY_DIR}/deps/libjpeg")
set(_jpeg_lib "${_jpeg_prefix}/lib/libjpeg.a")

if(NOT EXISTS "${_jpeg_src}/CMakeLists.txt")
  message(STATUS "Unpacking libjpeg-turbo sources into ${VELMORA_DEPS_DIR}")
  execute_process(COMMAND "${PROJECT_SOURCE_DIR}/tools/fetch-libjpeg.sh" "${VELMORA_DEPS_DIR}"
                  RESULT_VARIABLE _jpeg_rc)
  if(NOT _jpeg_rc EQUAL 0)
    message(FATAL_ERROR "Could not get the libjpeg-turbo sources")
  endif()
endif()

find_program(VELMORA_NASM nasm REQUIRED)

ExternalProject_Add(libjpeg_ext
  SOURCE_DIR "${_jpeg_src}"
  BINARY_DIR "${CMAKE_BINARY_DIR}/deps/libjpeg-build"
  INSTALL_DIR "${_jpeg_prefix}"
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DCMAKE_ASM_NASM_COMPILER=${VELMORA_NASM}
    -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON
    -DWITH_TURBOJPEG=OFF
    -DWITH_SIMD=ON
    -DREQUIRE_SIMD=ON
  BUILD_BYPRODUCTS "${_jpeg_lib}"
  UPDATE_COMMAND ""
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON
)

# The include directory must exist when the imported target is defined.
file(MAKE_DIRECTORY "${_jpeg_prefix}/include")

add_library(velmora_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(velmora_jpeg PROPERTIES
  IMPORTED_LOCATION "${_jpeg_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${_jpeg_prefix}/include")
add_dependencies(velmora_jpeg libjpeg_ext)
add_library(velmora::jpeg ALIAS velmora_jpeg)
