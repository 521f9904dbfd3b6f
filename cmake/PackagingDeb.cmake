# The Debian packages of the Linux build (Packaging.cmake includes this on Linux):
#   skeinpress-cli_<version>_amd64.deb  the headless converter and the language
#                                       file; it needs no Qt
#   skeinpress_<version>_amd64.deb      the desktop program with its help page,
#                                       desktop entry, MIME type, icons and
#                                       metainfo; needs skeinpress-cli of the
#                                       same version
# Each carries the copyright file and the changelog. The libraries the programs
# link are found by dpkg-shlibdeps. scripts/package.sh makes both, reproducibly.
include(GNUInstallDirs)

# Folders the install makes are 755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(SKEINPRESS_LINUX_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)
set(SKEINPRESS_DEB_MAINTAINER "Skeinpress developers <skeinpress@users.noreply.github.com>")

# The compressed files of the packages, made when the build is configured:
# gzip -n stores neither name nor time, so the same text always gives the same
# bytes.
find_program(SKEINPRESS_GZIP gzip REQUIRED)
function(skeinpress_gzipped source output)
  execute_process(COMMAND ${SKEINPRESS_GZIP} -9 -n -c ${source} OUTPUT_FILE ${output}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${source}: ${failed}")
  endif()
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
set(SKEINPRESS_DEB_FILES ${CMAKE_BINARY_DIR}/deb)
file(MAKE_DIRECTORY ${SKEINPRESS_DEB_FILES})
skeinpress_gzipped(${SKEINPRESS_LINUX_DIR}/changelog ${SKEINPRESS_DEB_FILES}/changelog.gz)
skeinpress_gzipped(${SKEINPRESS_LINUX_DIR}/skeinpress-cli.1 ${SKEINPRESS_DEB_FILES}/skeinpress-cli.1.gz)
skeinpress_gzipped(${SKEINPRESS_LINUX_DIR}/skeinpress.1 ${SKEINPRESS_DEB_FILES}/skeinpress.1.gz)

# Every package's own copyright file and changelog, in its documentation folder.
function(skeinpress_deb_docs component package)
  install(FILES ${SKEINPRESS_LINUX_DIR}/copyright ${SKEINPRESS_DEB_FILES}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

# skeinpress-cli: the converter, the language file both programs read (the
# installed data folder <prefix>/share/skeinpress), its manual page.
if(TARGET skeinpress-cli)
  install(TARGETS skeinpress-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/English.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/skeinpress
        COMPONENT cli)
install(FILES ${SKEINPRESS_DEB_FILES}/skeinpress-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT cli)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skeinpress-cli
        COMPONENT cli)
# The texture's MIME type and the thumbnailer that lets file managers show
# textures: both belong with the converter, which draws the thumbnails.
install(FILES ${CMAKE_SOURCE_DIR}/data/skeinpress-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT cli)
install(FILES ${CMAKE_SOURCE_DIR}/data/skeinpress.thumbnailer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers COMPONENT cli)
skeinpress_deb_docs(cli skeinpress-cli)

# skeinpress: the desktop program and what the desktop finds of it: the entry,
# icons at every size the theme asks for (rendered from the SVG
# by packaging/linux/render-icons.sh) and the software centres' description.
if(TARGET skeinpress)
  install(TARGETS skeinpress RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desktop)
  install(FILES ${CMAKE_SOURCE_DIR}/help/index.html
          DESTINATION ${CMAKE_INSTALL_DATADIR}/skeinpress/help COMPONENT desktop)
  install(FILES ${CMAKE_SOURCE_DIR}/data/skeinpress.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/apps/skeinpress.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            COMPONENT desktop)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/data/skeinpress.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
  install(FILES ${SKEINPRESS_LINUX_DIR}/io.github.skeinpress.skeinpress.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
  install(FILES ${SKEINPRESS_DEB_FILES}/skeinpress.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT desktop)
  skeinpress_deb_docs(desktop skeinpress)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Only these two: install rules elsewhere without a component lay out the same
# files for a plain `cmake --install`.
if(TARGET skeinpress)
  set(CPACK_COMPONENTS_ALL cli desktop)
else()
  set(CPACK_COMPONENTS_ALL cli)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE skeinpress)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SKEINPRESS_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/skeinpress/skeinpress)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Each package's own first description line, not the one both would share.
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME skeinpress-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "shared-mime-info")
set(CPACK_DEBIAN_CLI_DESCRIPTION "converter for Trainz textures and images on the command line
skeinpress-cli converts Trainz .texture files (both containers, JIRF and
E2TF: DXT, ASTC, 32-bit and floating-point pictures, cube maps) and
BMP, JPEG and TGA images to uncompressed TGA, writing the texture's
description beside it, or to BMP, JPEG, PNG, DDS or HDR.

It describes files (also as JSON), converts them with alpha-channel edits,
normal maps and grey-scale copies on the way, and trawls whole folder trees
as the desktop program does, with a log, several files at a time.

It needs no window system; the desktop program is in the package skeinpress.")

set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME skeinpress)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_SECTION graphics)
# The converter brings the language file the window reads. Qt's window system
# plugins are loaded at run time, so dpkg-shlibdeps cannot see them.
set(CPACK_COMPONENT_DESKTOP_DEPENDS cli)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_DESKTOP_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_DESKTOP_DESCRIPTION "viewer and converter for Trainz textures and images
Skeinpress is for people who build content for the Trainz railway
simulator. It opens Trainz .texture files and BMP, JPEG and TGA images,
shows the colour picture beside its alpha channel with its size,
compression and kind of alpha, and converts it to an uncompressed TGA,
writing the texture's description beside it.

It converts whole folder trees (a trawl) with a log, makes alpha masks from
a picked colour, merges, inverts and removes alpha channels, makes normal
maps and grey-scale copies, and hands a picture to the user's own image
editor and takes it back when it is saved.

This package holds the desktop program; the converter for the command line
is in skeinpress-cli.")

if(SKEINPRESS_BUILD_TESTS)
  add_test(NAME desktop_files COMMAND bash ${SKEINPRESS_LINUX_DIR}/check-desktop-files.sh)
  set_tests_properties(desktop_files PROPERTIES SKIP_RETURN_CODE 77)
endif()
