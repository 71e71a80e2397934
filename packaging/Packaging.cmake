# Installation and the Debian package (cpack -G DEB in a Release build).
#
# What lands where: the three programs and the launcher in bin/, the desktop
# entry, the icon, the MIME type of map files, the manual pages and the
# package's own documents under share/.

include(GNUInstallDirs)

set(ZEM_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ZEM_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${ZEM_PACKAGING_OUT}/icons)

install(TARGETS ZEMmap zemtool zem-sample RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${ZEM_PACKAGING_DIR}/zem-map DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZEM_PACKAGING_DIR}/zem-map.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZEM_PACKAGING_DIR}/zem-map.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${ZEM_PACKAGING_DIR}/zem-map.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Compressed documents. gzip -n keeps name and time stamp out of the file, so
# the same source always gives the same bytes.
set(ZEM_GZIPPED)
function(zem_gzip source output)
    get_filename_component(name ${output} NAME_WLE)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${ZEM_PACKAGING_OUT}/${name}
        COMMAND gzip -9nf ${ZEM_PACKAGING_OUT}/${name}
        DEPENDS ${source}
        VERBATIM)
    set(ZEM_GZIPPED ${ZEM_GZIPPED} ${output} PARENT_SCOPE)
endfunction()

foreach(page zem-map zemtool zem-sample)
    configure_file(${ZEM_PACKAGING_DIR}/${page}.1.in ${ZEM_PACKAGING_OUT}/man/${page}.1 @ONLY)
    zem_gzip(${ZEM_PACKAGING_OUT}/man/${page}.1 ${ZEM_PACKAGING_OUT}/${page}.1.gz)
    install(FILES ${ZEM_PACKAGING_OUT}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# The editor itself is described on the launcher's page.
file(CREATE_LINK zem-map.1.gz ${ZEM_PACKAGING_OUT}/ZEMmap.1.gz SYMBOLIC)
install(FILES ${ZEM_PACKAGING_OUT}/ZEMmap.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(ZEM_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zem-map)
zem_gzip(${ZEM_PACKAGING_DIR}/changelog ${ZEM_PACKAGING_OUT}/changelog.gz)
install(FILES ${ZEM_PACKAGING_OUT}/changelog.gz ${ZEM_PACKAGING_DIR}/copyright
        DESTINATION ${ZEM_DOCDIR})

# Bitmap icons for desktops that do not draw the scalable one, rendered from
# it when rsvg-convert is at hand (scripts/package.sh installs it).
find_program(ZEM_RSVG_CONVERT rsvg-convert)
if(ZEM_RSVG_CONVERT)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${ZEM_PACKAGING_OUT}/icons/${size}/zem-map.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${ZEM_PACKAGING_OUT}/icons/${size}
            COMMAND ${ZEM_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                    ${ZEM_PACKAGING_DIR}/zem-map.svg
            DEPENDS ${ZEM_PACKAGING_DIR}/zem-map.svg
            VERBATIM)
        list(APPEND ZEM_GZIPPED ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(STATUS "rsvg-convert not found: only the scalable icon will be installed")
endif()
add_custom_target(zem-package-files ALL DEPENDS ${ZEM_GZIPPED})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zem-map)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZEM Map developers")
set(ZEM_MAINTAINER "ZEM Map maintainers <maintainers@zem-map.example>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT "${ZEM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "map editor for the ZEM hexagon wargame system")
# The summary is the synopsis line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ZEM Map builds maps of up to 80 by 80 hexes from numbered tile pictures,
records each hex's terrain types and roads, and saves plain-text .zep map
files. It drafts whole maps from colour sketches, fixes coasts by their
neighbours and exports 44 by 39 maps to the files that the game Panzer
General 2 reads.
.
The package holds the editor, the launcher zem-map that starts it in a
sample workspace of its own on the first run, the command-line tool zemtool
for the same work without a display, and zem-sample, which writes the
sample workspace.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
