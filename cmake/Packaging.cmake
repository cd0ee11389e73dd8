# Installation and the Debian package.
#   cmake --build build --target package   writes build/pavrin_<version>_<arch>.deb
# The layout keeps "the program's folder" meaning what it means in the build tree: the desktop
# program, the runner, the engine library and the plot module live together in one private folder
# (<prefix>/lib/pavrin), and the commands on the PATH are relative symbolic links into it. The
# manuals go to the documentation folder (<prefix>/share/doc/pavrin), where the Help menu also looks.
# Every program or module a user runs must be listed in PAVRIN_INSTALLED_TARGETS.
if(NOT TARGET PAVRIN)
  return() # builds without the desktop program make no package
endif()

include(GNUInstallDirs)

set(PAVRIN_PACKAGE_NAME pavrin)
set(PAVRIN_MAINTAINER "Quarlex Engineering Software <support@quarlex.com>")
set(PAVRIN_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${PAVRIN_PACKAGE_NAME})
set(PAVRIN_PACKAGING_SOURCE ${PROJECT_SOURCE_DIR}/packaging)
set(PAVRIN_PACKAGING_WORK ${PROJECT_BINARY_DIR}/packaging)
# Debian's multiarch library folder would put the private folder at lib/<triplet>/pavrin; the
# manual look-up goes two folders up from the program's folder, so keep it at lib/pavrin.
set(PAVRIN_PRIVATE_DIR lib/${PAVRIN_PACKAGE_NAME})

# Directories made by the installation: 0755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

set(PAVRIN_INSTALLED_TARGETS PAVRIN pavrin-cli PAVRIN2014_DLL)
if(TARGET pavrin_cli_plot_module)
  list(APPEND PAVRIN_INSTALLED_TARGETS pavrin_cli_plot_module)
endif()
install(TARGETS ${PAVRIN_INSTALLED_TARGETS}
        RUNTIME DESTINATION ${PAVRIN_PRIVATE_DIR}
        LIBRARY DESTINATION ${PAVRIN_PRIVATE_DIR} NAMELINK_SKIP)

# The commands on the PATH: relative links, so the package works under any prefix.
install(CODE "
  set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${_bin}\")
  foreach(_pair pavrin:PAVRIN pavrin-cli:pavrin-cli)
    string(REPLACE \":\" \";\" _pair \"\${_pair}\")
    list(GET _pair 0 _command)
    list(GET _pair 1 _program)
    message(STATUS \"Installing: \${_bin}/\${_command} -> ../${PAVRIN_PRIVATE_DIR}/\${_program}\")
    file(CREATE_LINK \"../${PAVRIN_PRIVATE_DIR}/\${_program}\" \"\${_bin}/\${_command}\" SYMBOLIC)
  endforeach()
")

# The manuals (built by docs/ into the program's folder of the build tree).
if(TARGET manuals)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/PAVRIN2014UsersManual.pdf
                ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/PAVRIN2014TechnicalManual.pdf
          DESTINATION ${PAVRIN_DOC_DIR})
endif()

# The Debian documentation files: the copyright, and the changelog and manual pages compressed as
# Debian wants them (gzip -9 without a time stamp, so the package is the same from build to build).
configure_file(${PAVRIN_PACKAGING_SOURCE}/changelog.in ${PAVRIN_PACKAGING_WORK}/changelog @ONLY)
configure_file(${PAVRIN_PACKAGING_SOURCE}/pavrin.1.in ${PAVRIN_PACKAGING_WORK}/pavrin.1 @ONLY)
configure_file(${PAVRIN_PACKAGING_SOURCE}/pavrin-cli.1.in ${PAVRIN_PACKAGING_WORK}/pavrin-cli.1 @ONLY)
find_program(PAVRIN_GZIP gzip REQUIRED)
foreach(_file changelog pavrin.1 pavrin-cli.1)
  execute_process(COMMAND ${PAVRIN_GZIP} -9nf -k ${PAVRIN_PACKAGING_WORK}/${_file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${PAVRIN_PACKAGING_SOURCE}/copyright ${PAVRIN_PACKAGING_WORK}/changelog.gz
        DESTINATION ${PAVRIN_DOC_DIR})
install(FILES ${PAVRIN_PACKAGING_WORK}/pavrin.1.gz ${PAVRIN_PACKAGING_WORK}/pavrin-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The example projects.
file(GLOB PAVRIN_EXAMPLE_PROJECTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.pv3d)
install(FILES ${PAVRIN_EXAMPLE_PROJECTS} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/${PAVRIN_PACKAGE_NAME}/examples)

# Desktop integration: the menu entry, the icon, the project file types.
install(FILES ${PAVRIN_PACKAGING_SOURCE}/pavrin.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${PAVRIN_PACKAGING_SOURCE}/pavrin.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${PAVRIN_PACKAGING_SOURCE}/pavrin-mime.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME pavrin.xml)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PAVRIN_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quarlex Engineering Software")
set(CPACK_PACKAGE_CONTACT "${PAVRIN_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "load versus settlement of a single axially loaded pile")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "PAVRIN computes the load versus settlement behaviour of a single axially
loaded pile, a driven pile or a drilled shaft, by the load-transfer method.
The soil's resistance along the shaft is described by t-z curves and the
resistance at the tip by a Q-w curve, generated from soil layers by published
methods or entered directly. PAVRIN solves for the axial load and movement
down the pile, derives the head load versus head settlement curve, and
reports the results as a text report and as graphs.

This package holds the desktop program (pavrin), the headless runner
(pavrin-cli), the analysis engine, the user's and technical manuals and
example projects.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PAVRIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link are found by dpkg-shlibdeps; the engine library and the plot module
# are loaded by path at run time and link nothing the programs do not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The graphs and reports are drawn in "Times New Roman" metrics; the Help menu opens the manuals with
# the desktop's viewer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
