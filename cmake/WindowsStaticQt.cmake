# With a static Qt for Windows, the Windows platform plugin and the Windows
# Vista style are linked into the desktop program by default; the window's
# tests also need the offscreen platform, which draws into memory (under Wine
# as on Linux), and no plugin is picked unless named.
if(NOT WIN32 OR NOT TARGET Qt6::Core)
  return()
endif()
get_target_property(SKEINPRESS_QT_CORE_TYPE Qt6::Core TYPE)
if(TARGET ui_tests AND SKEINPRESS_QT_CORE_TYPE STREQUAL "STATIC_LIBRARY")
  qt_import_plugins(ui_tests INCLUDE Qt6::QOffscreenIntegrationPlugin Qt6::QWindowsIntegrationPlugin)
endif()
