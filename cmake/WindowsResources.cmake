# Each Windows program carries its icon, version information and application
# manifest (packaging/windows/), compiled with the resource compiler.
if(NOT WIN32)
  return()
endif()
enable_language(RC)

set(SKEINPRESS_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
set(SKEINPRESS_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
set(SKEINPRESS_ICON "${CMAKE_SOURCE_DIR}/packaging/windows/skeinpress.ico")
set(SKEINPRESS_MANIFEST "${CMAKE_BINARY_DIR}/packaging/skeinpress.manifest")
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/skeinpress.manifest ${SKEINPRESS_MANIFEST} @ONLY)

function(skeinpress_windows_resources target description)
  if(NOT TARGET ${target})
    return()
  endif()
  set(SKEINPRESS_RC_NAME ${target})
  set(SKEINPRESS_RC_DESCRIPTION "${description}")
  set(rc "${CMAKE_BINARY_DIR}/packaging/${target}.rc")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/skeinpress.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${SKEINPRESS_ICON};${SKEINPRESS_MANIFEST}")
endfunction()

skeinpress_windows_resources(skeinpress "Skeinpress: Trainz texture viewer and converter")
skeinpress_windows_resources(skeinpress-cli "Skeinpress command line converter")
