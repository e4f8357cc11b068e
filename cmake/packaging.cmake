# Installing and packaging. On Linux: the programs under names of their own, a desktop entry, an icon,
# the metainfo that software centres list, the scene file types, a thumbnailer, manual pages and the
# documents, in a Debian package built by `cpack -G DEB`. On Windows: a zip of the viewer, the demo
# writer, the READMEs and the licence.

set(CPACK_PACKAGE_NAME orvalis)
set(CPACK_PACKAGE_VENDOR "The Orvalis authors")
set(CPACK_PACKAGE_CONTACT "The Orvalis authors <maintainers@orvalis.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for a game's grounds, models and worlds")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    install(TARGETS orvalis write_demo RUNTIME DESTINATION .)
    # The first steps on Windows, with the line ends Notepad expects.
    configure_file(${CMAKE_SOURCE_DIR}/packaging/README-Windows.txt
                   ${CMAKE_BINARY_DIR}/packaging/README-Windows.txt @ONLY NEWLINE_STYLE CRLF)
    install(FILES README.md LICENSE ${CMAKE_BINARY_DIR}/packaging/README-Windows.txt DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    include(CPack)
    return()
endif()

include(GNUInstallDirs)
install(TARGETS orvalis write_demo thumbnailer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
install(FILES ${PACKAGING}/orvalis.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PACKAGING}/orvalis.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME invalid.orvalis.Orvalis.metainfo.xml)
install(FILES ${PACKAGING}/orvalis.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PACKAGING}/orvalis-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME orvalis.xml)
install(FILES ${PACKAGING}/orvalis.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)

# Manual pages and the Debian change log carry the version and are compressed as Debian keeps them
# (gzip -9n: no name or time stamp inside, so the package builds the same each time).
set(COMPRESSED_DOCUMENTS)
function(compress_document source target)
    configure_file(${source} ${CMAKE_BINARY_DIR}/packaging/${target} @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${target}.gz
                       COMMAND gzip -9nf -k ${target}
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
                       DEPENDS ${CMAKE_BINARY_DIR}/packaging/${target})
    set(COMPRESSED_DOCUMENTS ${COMPRESSED_DOCUMENTS} ${CMAKE_BINARY_DIR}/packaging/${target}.gz
        PARENT_SCOPE)
endfunction()
foreach(page orvalis orvalis-write-demo orvalis-thumbnailer)
    compress_document(${PACKAGING}/man/${page}.1.in ${page}.1)
endforeach()
compress_document(${PACKAGING}/debian/changelog.in changelog)
add_custom_target(compressed_documents ALL DEPENDS ${COMPRESSED_DOCUMENTS})
foreach(document ${COMPRESSED_DOCUMENTS})
    if(document MATCHES "\\.1\\.gz$")
        install(FILES ${document} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        install(FILES ${document} DESTINATION ${CMAKE_INSTALL_DOCDIR})
    endif()
endforeach()
install(FILES README.md LICENSE ${PACKAGING}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The thumbnailer draws without a display, through Mesa's EGL.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libegl-mesa0, libgl1-mesa-dri")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvalis shows a game's map data: a textured height-field ground, hierarchical
textured models with key-frame animation, and world files that place many
models on a ground. You fly through the scene with the mouse and the keyboard;
it fades into white fog with distance.

The package holds the viewer, a writer of a demo scene, and a thumbnailer
that shows the scene files in file managers.")
include(CPack)
