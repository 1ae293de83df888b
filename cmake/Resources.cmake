# Resources of the add-in module. Windows: a .rc compiled by windres.
# Other targets: the same files embedded into a generated source file.
#
# Raw-data resources (looked up by name, without regard to letter case):
#   PARAMETERS  resources/Parameters.xml, the settings template
#   HELP        the help archive, zipped at build time from resources/help/*
# Icon resources (Windows only): DOCVIEW, resources/docview.ico.
# String resources: resources/Strings.txt ("number=text" lines).
#
# Everything is compiled once into the object library quorvel_resources;
# QUORVEL_RESOURCE_SOURCES carries its objects to the add-in and to the unit
# tests, so both find the same resources in their own module.

get_filename_component(_quorvel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(QUORVEL_RESOURCE_DIR "${_quorvel_root}/resources")
set(QUORVEL_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
file(MAKE_DIRECTORY "${QUORVEL_GENERATED_DIR}")

# --- The help archive: every file of resources/help at the archive's top
# level, deflate-compressed, with a fixed time stamp so that the archive is
# the same from build to build.
file(GLOB _quorvel_help_files CONFIGURE_DEPENDS "${QUORVEL_RESOURCE_DIR}/help/*")
set(_quorvel_help_names "")
foreach(_file IN LISTS _quorvel_help_files)
  get_filename_component(_name "${_file}" NAME)
  list(APPEND _quorvel_help_names "${_name}")
endforeach()
list(SORT _quorvel_help_names)
set(QUORVEL_HELP_ARCHIVE "${QUORVEL_GENERATED_DIR}/help.zip")
add_custom_command(
  OUTPUT "${QUORVEL_HELP_ARCHIVE}"
  COMMAND "${CMAKE_COMMAND}" -E rm -f "${QUORVEL_HELP_ARCHIVE}"
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${QUORVEL_HELP_ARCHIVE}" --format=zip
          --mtime=2020-01-01 -- ${_quorvel_help_names}
  WORKING_DIRECTORY "${QUORVEL_RESOURCE_DIR}/help"
  DEPENDS ${_quorvel_help_files}
  COMMENT "Packing the help archive"
  VERBATIM)

set(QUORVEL_PARAMETERS_FILE "${QUORVEL_RESOURCE_DIR}/Parameters.xml")
# Windows only: the help window's icon (other window systems take none).
set(QUORVEL_DOCVIEW_ICON "${QUORVEL_RESOURCE_DIR}/docview.ico")

# --- String resources.
file(STRINGS "${QUORVEL_RESOURCE_DIR}/Strings.txt" _quorvel_string_lines
     ENCODING UTF-8 REGEX "^[0-9]+=")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${QUORVEL_RESOURCE_DIR}/Strings.txt")

if(WIN32)
  enable_language(RC)
  set(QUORVEL_RC_STRINGS "")
  foreach(_line IN LISTS _quorvel_string_lines)
    string(REGEX MATCH "^([0-9]+)=(.*)$" _ "${_line}")
    string(REPLACE "\"" "\"\"" _text "${CMAKE_MATCH_2}")
    string(APPEND QUORVEL_RC_STRINGS "  ${CMAKE_MATCH_1}, \"${_text}\"\n")
  endforeach()
  set(QUORVEL_VERSION_TEXT
      "${QUORVEL_VERSION_MAJOR}.${QUORVEL_VERSION_MINOR}.${QUORVEL_VERSION_RELEASE}.${QUORVEL_VERSION_BUILD}")
  configure_file("${QUORVEL_RESOURCE_DIR}/quorvel.rc.in" "${QUORVEL_GENERATED_DIR}/quorvel.rc" @ONLY)
  set(_quorvel_resource_main "${QUORVEL_GENERATED_DIR}/quorvel.rc")
  # windres does not see the files that RCDATA statements name.
  set_source_files_properties("${_quorvel_resource_main}" PROPERTIES
    OBJECT_DEPENDS "${QUORVEL_PARAMETERS_FILE};${QUORVEL_HELP_ARCHIVE};${QUORVEL_DOCVIEW_ICON}")
else()
  set(QUORVEL_EMBED_MANIFEST "${QUORVEL_GENERATED_DIR}/EmbeddedResources.manifest.cmake")
  set(_manifest "set(RAW_NAMES PARAMETERS HELP)\n")
  string(APPEND _manifest "set(RAW_FILE_PARAMETERS \"${QUORVEL_PARAMETERS_FILE}\")\n")
  string(APPEND _manifest "set(RAW_FILE_HELP \"${QUORVEL_HELP_ARCHIVE}\")\n")
  string(APPEND _manifest "set(STRINGS_FILE \"${QUORVEL_RESOURCE_DIR}/Strings.txt\")\n")
  # Rewritten only when it changes (configure_file), so nothing rebuilds
  # needlessly; CMake 3.18's file(CONFIGURE) loses the newlines.
  file(WRITE "${QUORVEL_EMBED_MANIFEST}.in" "${_manifest}")
  configure_file("${QUORVEL_EMBED_MANIFEST}.in" "${QUORVEL_EMBED_MANIFEST}" COPYONLY)
  set(_quorvel_resource_main "${QUORVEL_GENERATED_DIR}/EmbeddedResources.cpp")
  add_custom_command(
    OUTPUT "${_quorvel_resource_main}"
    COMMAND "${CMAKE_COMMAND}" -DMANIFEST=${QUORVEL_EMBED_MANIFEST}
            -DOUTPUT=${_quorvel_resource_main}
            -P "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake"
    DEPENDS "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake" "${QUORVEL_EMBED_MANIFEST}"
            "${QUORVEL_PARAMETERS_FILE}" "${QUORVEL_HELP_ARCHIVE}"
            "${QUORVEL_RESOURCE_DIR}/Strings.txt"
    COMMENT "Embedding the module's resources"
    VERBATIM)
endif()

add_library(quorvel_resources OBJECT "${_quorvel_resource_main}" "${QUORVEL_HELP_ARCHIVE}")
target_include_directories(quorvel_resources PRIVATE "${_quorvel_root}")
if(NOT WIN32)
  set_target_properties(quorvel_resources PROPERTIES CXX_VISIBILITY_PRESET hidden)
endif()

set(QUORVEL_RESOURCE_SOURCES $<TARGET_OBJECTS:quorvel_resources>)
