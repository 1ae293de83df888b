# The GTK 3 window layer of the Linux add-in: platform/ui/gtk, built into
# quorvel_ui_gtk. GTK and GLib headers are seen only there (quorvel_gtk
# carries them and the libraries to link).
#
# The calls stay within GTK 3.22 and GLib 2.50, what the oldest supported
# distributions ship: a newer call raises a deprecation warning, made an
# error here.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QV_GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
add_library(quorvel_gtk INTERFACE)
target_link_libraries(quorvel_gtk INTERFACE PkgConfig::QV_GTK3)
target_compile_definitions(quorvel_gtk INTERFACE
  GDK_VERSION_MIN_REQUIRED=GDK_VERSION_3_22 GDK_VERSION_MAX_ALLOWED=GDK_VERSION_3_22
  GLIB_VERSION_MIN_REQUIRED=GLIB_VERSION_2_50 GLIB_VERSION_MAX_ALLOWED=GLIB_VERSION_2_50)
target_compile_options(quorvel_gtk INTERFACE -Werror=deprecated-declarations)

file(GLOB_RECURSE QUORVEL_GTK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/ui/gtk/*.cpp)
add_library(quorvel_ui_gtk OBJECT ${QUORVEL_GTK_SOURCES})
quorvel_product_objects(quorvel_ui_gtk)
target_link_libraries(quorvel_ui_gtk PRIVATE quorvel_gtk)
