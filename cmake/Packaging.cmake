# What every installed library of the package shares: versioned SONAME,
# hidden symbols, a RUNPATH that finds its siblings, a pkg-config file.
set(TGCL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tavixTGCL2)

# While the major version is 0 every minor release may change the binary
# interface, so the SONAME carries major.minor; from 1.0 on the major alone.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(TGCL_SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
  set(TGCL_VERSION_COMPATIBILITY SameMinorVersion)
else()
  set(TGCL_SOVERSION ${PROJECT_VERSION_MAJOR})
  set(TGCL_VERSION_COMPATIBILITY SameMajorVersion)
endif()

function(tgcl_library_properties target)
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${TGCL_SOVERSION}
    CXX_VISIBILITY_PRESET hidden
    # The package's libraries sit side by side: each finds the others
    # wherever the prefix is, without LD_LIBRARY_PATH.
    INSTALL_RPATH "$ORIGIN")
  # A symbol the library uses but nobody defines fails its own link, not a
  # host's later. The sanitizers' runtime comes with the program instead.
  if(NOT TGCL_SANITIZE)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
endfunction()

# The pkg-config files find the prefix from where they lie, so an install
# with --prefix, or a moved tree, needs no edit: one ".." per part of the
# library folder (lib, lib64, lib/x86_64-linux-gnu) and one for pkgconfig.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(TGCL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH _tgcl_up "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" _tgcl_up "${_tgcl_up}")
  set(TGCL_PC_PREFIX "\${pcfiledir}/${_tgcl_up}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(TGCL_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(TGCL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(TGCL_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  set(TGCL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()

# tgcl_pkg_config(lib description requires requires_private extra_libs)
# The module is named like the CMake component: tavixTGCL2_qt gives
# tavixTGCL2-qt.pc. A requirement on the core asks for this very version,
# since the libraries of one package are built together.
function(tgcl_pkg_config lib description requires requires_private extra_libs)
  string(REPLACE "_" "-" module ${lib})
  string(REGEX REPLACE "(^| )tavixTGCL2( |$)" "\\1tavixTGCL2 = ${PROJECT_VERSION}\\2" requires "${requires}")
  set(TGCL_PC_NAME ${module})
  set(TGCL_PC_DESCRIPTION "${description}")
  set(TGCL_PC_REQUIRES "${requires}")
  set(TGCL_PC_REQUIRES_PRIVATE "${requires_private}")
  set(TGCL_PC_LIBS "-l${lib} ${extra_libs}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/tavixTGCL2.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# The library's own tests and benchmarks reach private classes: they link the
# compiled objects and the private include paths instead of the shared
# libraries (one copy of the core in the program, never two).
function(tgcl_link_internal target)
  # Object files come only from the OBJECT libraries linked directly, so
  # every platform layer is named, not just the target over them.
  target_link_libraries(${target} PRIVATE ${TGCL_CORE_LAYER_TARGETS} tavixTGCL2_objects)
  if(TARGET tavixTGCL2_png_objects)
    target_link_libraries(${target} PRIVATE tavixTGCL2_png_objects)
  endif()
endfunction()
