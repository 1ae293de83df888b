# The libraries the add-in uses: libxml2, libzint, cmark, libzip, zlib and
# double-conversion. Linux links Debian's shared libraries; the Windows
# builds link static copies built by tools/build-mingw-deps.sh into
# QUORVEL_DEPS (by default the prefix of the recipe in this checkout, which
# the script names), the portable Linux build (QUORVEL_PORTABLE) static
# copies built by tools/build-linux-portable.sh.
add_library(quorvel_deps INTERFACE)

if(WIN32)
  if(NOT QUORVEL_DEPS)
    execute_process(
      COMMAND "${CMAKE_CURRENT_LIST_DIR}/../tools/build-mingw-deps.sh" --prefix ${CMAKE_SYSTEM_PROCESSOR}
      OUTPUT_VARIABLE QUORVEL_DEPS OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0 OR NOT QUORVEL_DEPS)
      message(FATAL_ERROR "tools/build-mingw-deps.sh --prefix ${CMAKE_SYSTEM_PROCESSOR} failed; run tools/setup.sh")
    endif()
  endif()
  # The file names tools/build-mingw-deps.sh produces.
  set(_d "${QUORVEL_DEPS}")
  foreach(_lib libxml2.a libzip.a libcmark.a libzint-static.a libz.a libdouble-conversion.a)
    if(NOT EXISTS "${_d}/lib/${_lib}")
      message(FATAL_ERROR "mingw dependency ${_d}/lib/${_lib} not found; run tools/setup.sh (or tools/build-mingw-deps.sh ${CMAKE_SYSTEM_PROCESSOR})")
    endif()
  endforeach()
  target_include_directories(quorvel_deps INTERFACE "${_d}/include" "${_d}/include/libxml2")
  target_compile_definitions(quorvel_deps INTERFACE LIBXML_STATIC CMARK_STATIC_DEFINE ZIP_STATIC)
  target_link_libraries(quorvel_deps INTERFACE
    "${_d}/lib/libxml2.a" "${_d}/lib/libzip.a" "${_d}/lib/libcmark.a"
    "${_d}/lib/libzint-static.a" "${_d}/lib/libz.a" "${_d}/lib/libdouble-conversion.a"
    ws2_32 bcrypt advapi32 user32 gdi32 comctl32 shell32 ole32 oleaut32 uuid version shlwapi msimg32)
elseif(QUORVEL_PORTABLE)
  if(NOT QUORVEL_DEPS)
    message(FATAL_ERROR "QUORVEL_PORTABLE needs QUORVEL_DEPS, the prefix tools/build-linux-portable.sh builds")
  endif()
  set(_d "${QUORVEL_DEPS}")
  set(_libs libxml2.a libzip.a libcmark.a libzint-static.a libdouble-conversion.a libz.a)
  foreach(_lib IN LISTS _libs)
    if(NOT EXISTS "${_d}/lib/${_lib}")
      message(FATAL_ERROR "static dependency ${_d}/lib/${_lib} not found; build with tools/build-linux-portable.sh")
    endif()
  endforeach()
  list(TRANSFORM _libs PREPEND "${_d}/lib/")
  target_include_directories(quorvel_deps INTERFACE "${_d}/include" "${_d}/include/libxml2")
  target_compile_definitions(quorvel_deps INTERFACE LIBXML_STATIC CMARK_STATIC_DEFINE ZIP_STATIC)
  find_package(Threads REQUIRED)
  target_link_libraries(quorvel_deps INTERFACE ${_libs} Threads::Threads ${CMAKE_DL_LIBS} m)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QV_PKG REQUIRED IMPORTED_TARGET libxml-2.0 libzip zlib libcmark)
  find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
  find_library(ZINT_LIBRARY zint REQUIRED)
  target_include_directories(quorvel_deps INTERFACE ${ZINT_INCLUDE_DIR})
  find_package(double-conversion CONFIG REQUIRED)
  find_package(Threads REQUIRED)
  target_link_libraries(quorvel_deps INTERFACE PkgConfig::QV_PKG ${ZINT_LIBRARY} double-conversion::double-conversion
    Threads::Threads ${CMAKE_DL_LIBS})
endif()
