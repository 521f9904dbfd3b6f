# Packages a user can install, made with cpack in a build folder:
#   Linux:   skeinpress_<version>_amd64.deb (the window) and
#            skeinpress-cli_<version>_amd64.deb (the converter), with the desktop
#            entry, MIME type, icons, language file and help; its dependencies
#            are read from the programs themselves (dpkg-shlibdeps).
#   Windows: skeinpress-<version>-win64.zip, both programs, each one .exe,
#            with English.txt and the help beside them, the READMEs, the
#            samples, the licence and the licence texts of the libraries
#            linked in (skeinpress-cli-<version>-win64.zip when built without
#            the desktop program). scripts/windows.sh also makes the installer
#            from it (packaging/windows/).
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME skeinpress)
set(CPACK_PACKAGE_VENDOR "Skeinpress")
set(CPACK_PACKAGE_CONTACT "Skeinpress developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer and converter for Trainz textures and images")
set(CPACK_PACKAGE_DESCRIPTION
    "Skeinpress opens Trainz .texture files and BMP, JPEG and TGA images, shows the colour \
picture beside its alpha channel, and converts them to uncompressed TGA with the texture's \
description. It converts whole folder trees with a log, edits the alpha channel and makes \
normal maps. skeinpress-cli does the same conversions without a window.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Beside the program, where it looks first for its language file.
  set(SKEINPRESS_ZIP_NAME skeinpress-cli)
  if(TARGET skeinpress)
    install(TARGETS skeinpress RUNTIME DESTINATION . COMPONENT windows_zip)
    install(FILES ${CMAKE_SOURCE_DIR}/help/index.html DESTINATION help COMPONENT windows_zip)
    set(SKEINPRESS_ZIP_NAME skeinpress)
  endif()
  if(TARGET skeinpress-cli)
    install(TARGETS skeinpress-cli RUNTIME DESTINATION . COMPONENT windows_zip)
  endif()
  install(FILES ${CMAKE_SOURCE_DIR}/data/English.txt DESTINATION . COMPONENT windows_zip)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/windows/README-Windows.txt
          DESTINATION . COMPONENT windows_zip)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT windows_zip)
  install(FILES ${CMAKE_SOURCE_DIR}/THIRD-PARTY-NOTICES DESTINATION . RENAME THIRD-PARTY-NOTICES.txt
          COMPONENT windows_zip)
  # The samples, for a first run: "skeinpress-cli.exe trawl samples".
  file(GLOB SKEINPRESS_SAMPLE_PICTURES ${CMAKE_SOURCE_DIR}/samples/*.texture
       ${CMAKE_SOURCE_DIR}/samples/*.tga ${CMAKE_SOURCE_DIR}/samples/*.bmp
       ${CMAKE_SOURCE_DIR}/samples/*.jpg)
  install(FILES ${SKEINPRESS_SAMPLE_PICTURES} DESTINATION samples COMPONENT windows_zip)
  set(SKEINPRESS_LICENSES_DIR "" CACHE PATH
      "Folder with the licence texts of the libraries linked in, one subfolder each")
  if(SKEINPRESS_LICENSES_DIR)
    install(DIRECTORY ${SKEINPRESS_LICENSES_DIR}/ DESTINATION licenses COMPONENT windows_zip)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${SKEINPRESS_ZIP_NAME}-${PROJECT_VERSION}-win64)
  # Only what the zip should hold: the rest of the install rules lay out a
  # Linux-style prefix.
  set(CPACK_COMPONENTS_ALL windows_zip)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_MONOLITHIC_INSTALL OFF)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingDeb.cmake)
endif()

include(CPack)
