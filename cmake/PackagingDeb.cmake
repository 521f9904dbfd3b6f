# The Debian package of the Linux build (Packaging.cmake includes this on Linux).
if(TARGET skeinpress-cli)
  install(TARGETS skeinpress-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skeinpress)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries the programs link are found by dpkg-shlibdeps; Qt's window
# system plugins are loaded at run time, so they are named here.
if(SKEINPRESS_BUILD_UI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, desktop-file-utils")
endif()

# What the desktop finds: icons at every size the theme asks for (rendered
# from the SVG by packaging/linux/render-icons.sh) and the software centres'
# description of the program.
if(TARGET skeinpress)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/apps/skeinpress.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            COMPONENT desktop)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/data/skeinpress.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/io.github.skeinpress.skeinpress.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
endif()
