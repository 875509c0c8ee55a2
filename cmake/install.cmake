# What "cmake --install" puts under the prefix, and how "cpack -G DEB" splits
# it into packages. Three components:
#   runtime  libzeseal.so.0 and the dense code's reader libzeseal_reader.so.0
#            (package libzeseal0)
#   dev      the headers, libzeseal.so, the CMake package and zeseal.pc
#            (package libzeseal-dev)
#   tool     the zeseal program, its man page and bash completion, and the
#            example data under share/zeseal/examples (package zeseal)
include(GNUInstallDirs)

if(WIN32)
  # The DLL and its headers; the packages below are for POSIX systems.
  install(TARGETS zeseal
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(DIRECTORY include/zeseal DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  return()
endif()

include(CMakePackageConfigHelpers)
set(ZESEAL_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/zeseal")

# The dense code's reader (zeseal_reader.h) comes beside the library, as
# zeseal::zeseal_reader, for services that verify printed pages.
install(TARGETS zeseal zeseal_reader EXPORT zesealTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/zeseal DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)

# find_package(zeseal CONFIG): the imported target zeseal::zeseal.
install(EXPORT zesealTargets NAMESPACE zeseal:: DESTINATION "${ZESEAL_CMAKE_DIR}" COMPONENT dev)
configure_package_config_file(cmake/zesealConfig.cmake.in
  "${PROJECT_BINARY_DIR}/zesealConfig.cmake"
  INSTALL_DESTINATION "${ZESEAL_CMAKE_DIR}")
# 0.x: a minor version may change the interface.
write_basic_package_version_file("${PROJECT_BINARY_DIR}/zesealConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/zesealConfig.cmake"
              "${PROJECT_BINARY_DIR}/zesealConfigVersion.cmake"
        DESTINATION "${ZESEAL_CMAKE_DIR}" COMPONENT dev)

# pkg-config: the paths are found from the .pc file's own place, so an
# unpacked package or a moved prefix works as well as the installed one.
file(RELATIVE_PATH ZESEAL_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" ZESEAL_PC_TO_PREFIX "${ZESEAL_PC_TO_PREFIX}")
configure_file(cmake/zeseal.pc.in "${PROJECT_BINARY_DIR}/zeseal.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/zeseal.pc"
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT dev)

install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT runtime)

if(TARGET zeseal_cli)
  install(TARGETS zeseal_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  install(FILES docs/zeseal.1 DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT tool)
  install(FILES tools/zeseal/completion/zeseal.bash
          DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions"
          RENAME zeseal COMPONENT tool)
  # The example data: marks, their sources, the printers file, the data-file
  # sources and the example system directory built from them. The library's
  # own system directory (ZESEAL_DEFAULT_SYSTEM_DIR) is left empty: its files
  # come with a deployment.
  set(_examples "${CMAKE_INSTALL_DATADIR}/zeseal/examples")
  install(FILES examples/printers.txt examples/watermark.b64 examples/watercode.b64
                examples/watermark.png examples/watercode.raw examples/catalogue.csv
                examples/court-printers.txt
          DESTINATION "${_examples}" COMPONENT tool)
  if(DEFINED ZESEAL_EXAMPLE_SYSTEM_DIR)
    install(DIRECTORY "${ZESEAL_EXAMPLE_SYSTEM_DIR}/" DESTINATION "${_examples}/system"
            COMPONENT tool)
  endif()
endif()

# cpack -G DEB: libzeseal0, libzeseal-dev and zeseal. The packages install
# under CMAKE_INSTALL_PREFIX, the prefix the library was built for: a package
# for the system is configured with -DCMAKE_INSTALL_PREFIX=/usr, so that the
# library's built-in system directory is /usr/share/zeseal/system.
set(CPACK_PACKAGE_NAME zeseal)
set(CPACK_PACKAGE_VENDOR "the ZEseal authors")
set(CPACK_PACKAGE_CONTACT "the ZEseal authors <zeseal@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "certificate printing library with protective marks")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_COMPONENTS_ALL runtime dev tool)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/zeseal")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libzeseal0)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The test page's Korean text needs a Korean font.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-nanum")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "certificate printing library with protective marks
 libzeseal draws a certificate page's protective marks (watermark, water
 code, copy-detection pattern, court logo), classifies the local printers,
 answers printer queries, changes printer settings and prints a test page.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzeseal-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "certificate printing library - development files
 The C headers of libzeseal, its CMake package (find_package(zeseal)) and
 its pkg-config file (zeseal.pc).")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME zeseal)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOL_PACKAGE_RECOMMENDS "fonts-nanum")
set(CPACK_COMPONENT_TOOL_DESCRIPTION
    "command-line tool of the certificate printing library
 zeseal packs mark pictures into container text, draws marks on a page,
 builds and lists the data files, and asks the library about printers.
 It carries the library's code itself. Example data is in
 /usr/share/zeseal/examples.")

include(CPack)
