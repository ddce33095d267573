# Installing Volumark as a Linux program: the manual pages, the layout under /usr and the Debian
# package that `cpack -G DEB` (scripts/package) makes of it.
#
#   /usr/bin/volumark, vmlog (and vmadmin where it is built)
#   /usr/lib/volumark/VM_BATCH.CMD and a link volumark -> ../../bin/volumark: the directory that
#       scheduled jobs run the script from (the submit dialog offers it)
#   /usr/share/volumark/help/      the help pages the windows show
#   /usr/share/applications/, /usr/share/icons/hicolor/, /usr/share/mime/packages/
#   /usr/share/man/man1/           a page per program, from docs/man/*.scd
#   /usr/share/doc/volumark/       copyright, changelog and the file format documents

# ---- Manual pages ------------------------------------------------------------------------------
# Every docs/man/NAME.1.scd becomes build/man/NAME.1 (and NAME.1.gz for the package) when scdoc
# is there; the test "man_pages" renders each without a warning.
find_program(VM_SCDOC scdoc)
file(GLOB VM_MAN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/*.scd)
set(VM_MAN_PAGES)
# The pages' date: the last commit's, so that a page built twice is the same.
execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                OUTPUT_VARIABLE VM_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET)
if(NOT VM_SOURCE_DATE_EPOCH)
  string(TIMESTAMP VM_SOURCE_DATE_EPOCH "%s" UTC)
endif()
if(VM_SCDOC)
  foreach(src ${VM_MAN_SOURCES})
    get_filename_component(page ${src} NAME_WLE)
    set(out ${CMAKE_BINARY_DIR}/man/${page})
    add_custom_command(
      OUTPUT ${out} ${out}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VM_SOURCE_DATE_EPOCH}
              ${CMAKE_SOURCE_DIR}/cmake/make-man.sh ${src} ${out}
      DEPENDS ${src} ${CMAKE_SOURCE_DIR}/cmake/make-man.sh ${CMAKE_SOURCE_DIR}/cmake/man-tidy.awk
      VERBATIM)
    list(APPEND VM_MAN_PAGES ${out})
  endforeach()
  add_custom_target(man ALL DEPENDS ${VM_MAN_PAGES})
  if(VOLUMARK_TESTS)
    add_test(NAME man_pages COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-man.sh ${VM_MAN_PAGES})
  endif()
else()
  message(STATUS "scdoc not found: the manual pages are not built")
endif()

# ---- Install layout ----------------------------------------------------------------------------
include(GNUInstallDirs)
set(VM_PROGRAMS volumark vmlog)
if(TARGET vmadmin)
  list(APPEND VM_PROGRAMS vmadmin)
endif()
install(TARGETS ${VM_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Not CMAKE_INSTALL_LIBDIR: the program looks for the script in lib/volumark beside its bin
# directory, whatever the architecture.
set(VM_LIBEXEC lib/volumark)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/src/schedule/VM_BATCH.CMD DESTINATION ${VM_LIBEXEC})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ../../bin/volumark ${CMAKE_BINARY_DIR}/install-links/volumark SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install-links/volumark DESTINATION ${VM_LIBEXEC})

install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/volumark/help
        FILES_MATCHING PATTERN "*.html")
install(FILES ${CMAKE_SOURCE_DIR}/resources/volumark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/volumark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/volumark.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${CMAKE_SOURCE_DIR}/resources/volumark-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME volumark.xml)
find_program(VM_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(VOLUMARK_TESTS AND VM_DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_entry COMMAND ${VM_DESKTOP_FILE_VALIDATE}
                                      ${CMAKE_SOURCE_DIR}/resources/volumark.desktop)
  set_tests_properties(desktop_entry PROPERTIES FAIL_REGULAR_EXPRESSION "error|warning|hint")
endif()
foreach(page ${VM_MAN_PAGES})
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(VOLUMARK_MAINTAINER "Volumark developers <volumark@example.com>"
    CACHE STRING "The maintainer named in the Debian package")
set(VM_MAINTAINER ${VOLUMARK_MAINTAINER})
set(VM_DOC ${CMAKE_INSTALL_DATADIR}/doc/volumark)
execute_process(COMMAND date -u -R -d @${VM_SOURCE_DATE_EPOCH}
                OUTPUT_VARIABLE VM_PACKAGE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND sh -c "gzip -9n < changelog > changelog.gz"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VM_DOC})
install(FILES ${CMAKE_SOURCE_DIR}/docs/log_format.md ${CMAKE_SOURCE_DIR}/docs/compare_format.md
              ${CMAKE_SOURCE_DIR}/docs/export_format.md ${CMAKE_SOURCE_DIR}/docs/mail.md
        DESTINATION ${VM_DOC})

# ---- The Debian package ------------------------------------------------------------------------
# cpack packs what is built and builds nothing itself: scripts/package builds first, and the
# install test, which runs among the other tests, must not relink their programs under them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volumark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VOLUMARK_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Scheduled logging keeps its jobs in the crontab; the desktop learns the file types through
# shared-mime-info's trigger.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cron, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk space manager for Linux workstations and file servers")
# CPack writes the summary as the synopsis and indents every line of the description by one
# blank; a line holding only "." separates paragraphs.
set(CPACK_PACKAGE_DESCRIPTION
    "Volumark keeps a history of where the space of a server goes. An
administrator defines references, named sets of directory paths; logging
a reference scans every tree into a numbered log. Logs are explored in a
tree-and-list window, and any two logs are compared to show which
directories and files grew, shrank, appeared or vanished. From both
windows entries are tagged, filtered, deleted, copied, printed and mailed.
.
Unattended runs from cron log, compare and mail a results or alerts
summary. The package holds the program, the log tool vmlog, the script
that scheduled jobs run, the help pages, the manual pages and the desktop
entry with the file types of logs (.kdf) and comparisons (.kcf).")
include(CPack)

# The clean-root install test: the package installed into a fresh Debian 12 root and used there.
# It skips itself (status 77), saying why, where it cannot run: without root, debootstrap or the
# mirror. About five minutes, most of them downloading; `ctest -L install` runs it alone.
if(VOLUMARK_TESTS)
  add_test(NAME clean_root_install COMMAND ${CMAKE_SOURCE_DIR}/scripts/install-test)
  set_tests_properties(clean_root_install PROPERTIES LABELS install SKIP_RETURN_CODE 77
                                                     TIMEOUT 2400
                                                     ENVIRONMENT VOLUMARK_PACKAGE_NO_BUILD=1)
endif()
