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
endfunction()

# tgcl_pkg_config(lib description requires requires_private extra_libs)
function(tgcl_pkg_config lib description requires requires_private extra_libs)
  set(TGCL_PC_NAME ${lib})
  set(TGCL_PC_DESCRIPTION "${description}")
  set(TGCL_PC_REQUIRES "${requires}")
  set(TGCL_PC_REQUIRES_PRIVATE "${requires_private}")
  set(TGCL_PC_LIBS "-l${lib} ${extra_libs}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/tavixTGCL2.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${lib}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${lib}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# The library's own tests and benchmarks reach private classes: they link the
# compiled objects and the private include paths instead of the shared
# libraries (one copy of the core in the program, never two).
function(tgcl_link_internal target)
  target_link_libraries(${target} PRIVATE tavixTGCL2_objects)
  if(TARGET tavixTGCL2_png_objects)
    target_link_libraries(${target} PRIVATE tavixTGCL2_png_objects)
  endif()
endfunction()
