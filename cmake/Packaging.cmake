# Packages a user can install, made with cpack in a build folder:
#   Linux:   skeinpress_<version>_amd64.deb (the window) and
#            skeinpress-cli_<version>_amd64.deb (the converter), with the desktop
#            entry, MIME type, icons, language file and help; its dependencies
#            are read from the programs themselves (dpkg-shlibdeps).
#   Windows: skeinpress-cli-<version>-win64.zip, the headless converter as one
#            .exe with English.txt beside it, the README, the samples and the
#            licence texts of the libraries linked into it.
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
  if(TARGET skeinpress-cli)
    install(TARGETS skeinpress-cli RUNTIME DESTINATION . COMPONENT windows_zip)
  endif()
  install(FILES ${CMAKE_SOURCE_DIR}/data/English.txt DESTINATION . COMPONENT windows_zip)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION . COMPONENT windows_zip)
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
  set(CPACK_PACKAGE_FILE_NAME skeinpress-cli-${PROJECT_VERSION}-win64)
  # Only what the zip should hold: the rest of the install rules lay out a
  # Linux-style prefix.
  set(CPACK_COMPONENTS_ALL windows_zip)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_MONOLITHIC_INSTALL OFF)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingDeb.cmake)
endif()

include(CPack)
