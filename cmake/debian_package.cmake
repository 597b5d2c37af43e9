# Where `cmake --install` puts the command lines, their manual pages and their bash completion, and the Debian
# package CPack makes of them (tools/build_debian_package.sh).
include(GNUInstallDirs)

install(TARGETS tolvane sfxpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Debian keeps manual pages gzipped; -n leaves the time out of the archive, so the package builds the same twice.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(page tolvane sfxpack)
    configure_file(${PROJECT_SOURCE_DIR}/tools/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
        COMMAND ${GZIP_PROGRAM} -9nkf ${CMAKE_BINARY_DIR}/man/${page}.1
        DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
        VERBATIM)
    list(APPEND TOLVANE_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    install(FILES ${PROJECT_SOURCE_DIR}/tools/completion/${page}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${TOLVANE_MAN_PAGES})
install(FILES ${TOLVANE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "Varnick")
set(CPACK_PACKAGE_CONTACT "Tolvane developers <tolvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recover the pictures embedded in damaged Photoshop files and disk images")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "tolvane scans the raw bytes of damaged PSD files, disk images and
block devices for embedded JPEG and PNG-signed streams and writes each as a
numbered file into a folder named after the source; the source is only read.
sfxpack packs, lists and unpacks the archives of the self-extracting installer.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
