# Installation and the Debian package.
#
#   cmake --install <build> --prefix <dir>   bin/shelvoranquist and bin/shelvoranquist-catalogue,
#                                            their pages in share/man/man1,
#                                            share/doc/shelvoranquist/copyright, and the lintian
#                                            overrides in share/lintian/overrides
#   cpack --config <build>/CPackConfig.cmake  shelvoranquist_<version>-1_<arch>.deb
#
# The package's name, version and summary come from the top-level project(); its copyright
# file, changelog and lintian overrides from debian/ here. cmake/debian_package.sh builds it with
# Debian's hardening flags, reproducibly: the same commit gives the same .deb, byte for byte.

include(GNUInstallDirs)

# The package's programs: the desk, and the public catalogue where this tree builds it. Each
# program goes with its manual page in man/ where the page exists; .ci/run's package stage
# fails a package that holds a program without its page.
set(shelvoranquist_programs shelvoranquist)
if(TARGET shelvoranquist-catalogue)
  list(APPEND shelvoranquist_programs shelvoranquist-catalogue)
endif()
set(shelvoranquist_pages)
foreach(program IN LISTS shelvoranquist_programs)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(EXISTS ${PROJECT_SOURCE_DIR}/man/${program}.1)
    install(FILES ${PROJECT_SOURCE_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND shelvoranquist_pages ${program}.1)
  endif()
endforeach()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME shelvoranquist)

# The package run of the install (CPack sets SHELVORANQUIST_DEBIAN_LAYOUT, below) shapes the
# files as Debian keeps them: the programs without the .comment and .note sections that its
# strip removes (CPACK_STRIP_FILES has already stripped the symbols), the manual pages
# compressed without a time stamp or name in the gzip header, and the Debian changelog beside
# the copyright file, compressed the same way; the modes are set here, not left to the umask of
# whoever checked out the sources. A plain `cmake --install` leaves the files as they were built
# and installs no changelog.
install(CODE "
  if(SHELVORANQUIST_DEBIAN_LAYOUT)
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    foreach(program ${shelvoranquist_programs})
      execute_process(
        COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                \"\${root}/${CMAKE_INSTALL_BINDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    set(compressed \"\${root}/${CMAKE_INSTALL_DOCDIR}/changelog.Debian\")
    foreach(page ${shelvoranquist_pages})
      list(APPEND compressed \"\${root}/${CMAKE_INSTALL_MANDIR}/man1/\${page}\")
    endforeach()
    list(TRANSFORM compressed APPEND .gz OUTPUT_VARIABLE previous)
    file(REMOVE \${previous})
    file(COPY_FILE \"${CMAKE_CURRENT_LIST_DIR}/debian/changelog\"
         \"\${root}/${CMAKE_INSTALL_DOCDIR}/changelog.Debian\")
    execute_process(COMMAND gzip -9n \${compressed} COMMAND_ERROR_IS_FATAL ANY)
    file(CHMOD \${previous} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "Shelvoranquist maintainers")
set(CPACK_PACKAGE_CONTACT "Shelvoranquist maintainers <maintainers@shelvoranquist.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_CUSTOM_INSTALL_VARIABLES SHELVORANQUIST_DEBIAN_LAYOUT=ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first packaging of each upstream version: the Debian revision of debian/changelog.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The data file's tables are STRICT, which SQLite reads from 3.37 on; the shared-library
# dependencies that CPack adds know only the symbols used.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsqlite3-0 (>= 3.37.0)")
# CPack puts the summary above this text and indents it as the Debian control file wants.
set(CPACK_PACKAGE_DESCRIPTION "A librarian drives the program through numbered text menus on the console:
registering members, cataloguing books, CDs, journals and videos, lending
items and taking them back, placing and cancelling holds, searching the
catalogue and listing overdue borrowers. Due dates follow the local clock.

Without options everything is kept in memory for one run. With --data FILE
the records are kept in an SQLite 3 data file, each change committed before
it is shown, and a later run starts from them.")
if(TARGET shelvoranquist-catalogue)
  string(APPEND CPACK_PACKAGE_DESCRIPTION "

shelvoranquist-catalogue is the public catalogue: patrons search the same
records from a web browser, served read only as plain web pages, with
whether each copy is on the shelf or when it is due back.")
endif()

include(CPack)
