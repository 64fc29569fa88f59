# The installed package as a host meets it. Installs the built libraries into
# a scratch prefix (deep and unusual, so nothing finds it by accident) and
# builds three hosts against that prefix, each through find_package and
# through pkg-config:
#
#   core  tests/consumer/core    the controls without a toolkit
#   qt    examples/host-guide    the guide's Qt host, run offscreen
#   png   tests/consumer/png     pictures of controls as PNG files
#
# Every program runs without LD_LIBRARY_PATH (the CMake-built hosts find the
# libraries through their build RPATH, the pkg-config ones through the
# -Wl,-rpath a pkg-config host adds) and with it (a pkg-config host linked
# without an rpath, which must not start without it). The install tree is
# checked as well: the files a host needs, no empty folder, no private
# header, no internal symbol exported, SONAME and RUNPATH, the installed
# libraries finding each other, the version file's answers. And
# docs/host-guide.md must still quote the guide's program word for word; the
# guide's program runs once more under valgrind when it is installed.
#
#   cmake -DSOURCE_DIR=<source> -DBINARY_DIR=<build> -DWORK_DIR=<scratch> -P check.cmake
cmake_minimum_required(VERSION 3.25)

string(TIMESTAMP _started "%s")
set(_phase_names "")
set(_phase_start ${_started})
macro(phase_done name)
  string(TIMESTAMP _now "%s")
  math(EXPR _took "${_now} - ${_phase_start}")
  list(APPEND _phase_names "${name}: ${_took} s")
  set(_phase_start ${_now})
endmacro()

function(fail msg)
  message(FATAL_ERROR "package_consumer: ${msg}")
endfunction()

# What the library's build was configured with.
load_cache(${BINARY_DIR} READ_WITH_PREFIX cache_
           TGCL_BUILD_QT TGCL_BUILD_PNG CMAKE_CXX_COMPILER CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_INCLUDEDIR)
set(cxx ${cache_CMAKE_CXX_COMPILER})
set(warnings -Wall -Wextra -Wpedantic -Werror)
find_program(NINJA NAMES ninja ninja-build)
if(NOT NINJA)
  fail("ninja is needed to build the hosts")
endif()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/opt/vendor-x/tavix.tgcl2/0.2/stage)
set(libdir ${prefix}/${cache_CMAKE_INSTALL_LIBDIR})
set(incdir ${prefix}/${cache_CMAKE_INSTALL_INCLUDEDIR})
set(cmakedir ${libdir}/cmake/tavixTGCL2)
set(components core)
if(cache_TGCL_BUILD_QT)
  list(APPEND components qt)
endif()
if(cache_TGCL_BUILD_PNG)
  list(APPEND components png)
endif()
message(STATUS "package_consumer: components ${components}, prefix ${prefix}")

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
  fail("install failed: ${out}")
endif()
phase_done("install")

# --- the install tree ---------------------------------------------------------

file(READ ${cmakedir}/tavixTGCL2ConfigVersion.cmake _vfile)
if(NOT _vfile MATCHES "set\\(PACKAGE_VERSION \"([0-9]+)\\.([0-9]+)\\.([0-9]+)\"\\)")
  fail("no version in tavixTGCL2ConfigVersion.cmake")
endif()
set(version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
# While the major version is 0 every minor release may break the binary
# interface: the SONAME carries major.minor, and only the same minor is
# compatible.
if(CMAKE_MATCH_1 EQUAL 0)
  set(soversion ${CMAKE_MATCH_1}.${CMAKE_MATCH_2})
else()
  set(soversion ${CMAKE_MATCH_1})
endif()

set(lib_core tavixTGCL2)
set(lib_qt tavixTGCL2_qt)
set(lib_png tavixTGCL2_png)
set(pc_core tavixTGCL2)
set(pc_qt tavixTGCL2-qt)
set(pc_png tavixTGCL2-png)
set(expected
  ${incdir}/tavixTGCL2/tavixTGCL2.h ${incdir}/tavixTGCL2/Export.h
  ${incdir}/tavixTGCL2/toolbar/XTgToolbar.h ${incdir}/tavixTGCL2/content/XTgContentPane.h
  ${cmakedir}/tavixTGCL2Config.cmake ${cmakedir}/tavixTGCL2ConfigVersion.cmake ${cmakedir}/tavixTGCL2Targets.cmake)
if(qt IN_LIST components)
  list(APPEND expected ${incdir}/tavixTGCL2/qt/QtBackend.h ${incdir}/tavixTGCL2/qt/QtControlHost.h
       ${cmakedir}/tavixTGCL2-qtTargets.cmake)
endif()
if(png IN_LIST components)
  list(APPEND expected ${incdir}/tavixTGCL2/png/PngFile.h ${cmakedir}/tavixTGCL2-pngTargets.cmake)
endif()
foreach(c ${components})
  list(APPEND expected ${libdir}/lib${lib_${c}}.so ${libdir}/lib${lib_${c}}.so.${soversion}
       ${libdir}/lib${lib_${c}}.so.${version} ${libdir}/pkgconfig/${pc_${c}}.pc)
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${f})
    fail("the installed package lacks ${f}")
  endif()
endforeach()

file(GLOB_RECURSE _entries LIST_DIRECTORIES true ${prefix}/*)
foreach(e ${_entries})
  if(IS_DIRECTORY ${e})
    file(GLOB _inside ${e}/*)
    if(NOT _inside)
      fail("an empty folder is installed: ${e}")
    endif()
  endif()
endforeach()

# Private headers are the ones beside the sources, outside include/.
file(GLOB_RECURSE _private RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/backends/*.h)
set(private_names "")
foreach(h ${_private})
  if(NOT h MATCHES "/include/")
    get_filename_component(n ${h} NAME)
    list(APPEND private_names ${n})
  endif()
endforeach()
foreach(n TextCodec.h IconPainter.h ToolbarIcons.h Resources.h PaneTitle.h DispatchId.h CountedScope.h
          ProgressAnimation.h)
  if(NOT n IN_LIST private_names)
    fail("${n} is no longer a private header: update the list in check.cmake")
  endif()
endforeach()
file(GLOB_RECURSE _installed_headers LIST_DIRECTORIES false ${prefix}/*.h)
foreach(h ${_installed_headers})
  get_filename_component(n ${h} NAME)
  if(n IN_LIST private_names)
    fail("a private header is installed: ${h}")
  endif()
endforeach()

# Every installed header includes only installed headers, and the one
# header hosts include reaches every public header of the core.
file(STRINGS ${incdir}/tavixTGCL2/tavixTGCL2.h _umbrella REGEX "^#include <tavixTGCL2/")
set(umbrella "")
foreach(line ${_umbrella})
  string(REGEX REPLACE "^#include <tavixTGCL2/([^>]+)>.*" "\\1" rel "${line}")
  list(APPEND umbrella ${rel})
endforeach()
foreach(h ${_installed_headers})
  file(RELATIVE_PATH rel ${incdir}/tavixTGCL2 ${h})
  if(NOT rel MATCHES "^(qt|png)/" AND NOT rel STREQUAL "tavixTGCL2.h" AND NOT rel IN_LIST umbrella)
    # A header left at a moved one's old path for hosts forwards to a header
    # the umbrella has; the umbrella itself names only the new path.
    file(STRINGS ${h} _fwd REGEX "^#include <tavixTGCL2/")
    file(STRINGS ${h} _code REGEX "^[^/]" )
    list(FILTER _code EXCLUDE REGEX "^#pragma once")
    list(LENGTH _code _ncode)
    set(_target "")
    if(_ncode EQUAL 1 AND _fwd)
      string(REGEX REPLACE "^#include <tavixTGCL2/([^>]+)>.*" "\\1" _target "${_fwd}")
    endif()
    if(NOT _target IN_LIST umbrella)
      fail("<tavixTGCL2/tavixTGCL2.h> does not include <tavixTGCL2/${rel}>")
    endif()
  endif()
  file(STRINGS ${h} _incs REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${_incs})
    if(line MATCHES "#[ \t]*include[ \t]*\"")
      fail("${h} includes a header by a quoted path: ${line}")
    endif()
    if(line MATCHES "<(tavixTGCL2/[^>]+)>" AND NOT EXISTS ${incdir}/${CMAKE_MATCH_1})
      fail("${h} includes ${CMAKE_MATCH_1}, which is not installed")
    endif()
  endforeach()
endforeach()

# What a host's find_package(tavixTGCL2 <version>) gets from the version file.
function(version_answer request out)
  set(PACKAGE_FIND_VERSION ${request})
  string(REPLACE "." ";" _parts ${request})
  list(LENGTH _parts PACKAGE_FIND_VERSION_COUNT)
  list(APPEND _parts 0 0 0)
  list(GET _parts 0 PACKAGE_FIND_VERSION_MAJOR)
  list(GET _parts 1 PACKAGE_FIND_VERSION_MINOR)
  list(GET _parts 2 PACKAGE_FIND_VERSION_PATCH)
  include(${cmakedir}/tavixTGCL2ConfigVersion.cmake)
  if(PACKAGE_VERSION_COMPATIBLE)
    set(${out} yes PARENT_SCOPE)
  else()
    set(${out} no PARENT_SCOPE)
  endif()
endfunction()
string(REGEX MATCH "^[0-9]+\\.[0-9]+" _mm ${version})
string(REGEX MATCH "^[0-9]+" _major ${version})
string(REGEX REPLACE "^[0-9]+\\.([0-9]+).*" "\\1" _minor ${version})
math(EXPR _next_minor "${_minor} + 1")
math(EXPR _next_major "${_major} + 1")
set(_answers "${_mm}=yes" "${version}=yes" "${_major}.${_next_minor}=no" "${_next_major}.0=no")
if(_minor GREATER 0)
  math(EXPR _prev_minor "${_minor} - 1")
  # Below 1.0 an older minor is not compatible; from 1.0 on it is.
  if(_major EQUAL 0)
    list(APPEND _answers "${_major}.${_prev_minor}=no")
  else()
    list(APPEND _answers "${_major}.${_prev_minor}=yes")
  endif()
endif()
foreach(a ${_answers})
  string(REPLACE "=" ";" a ${a})
  list(GET a 0 request)
  list(GET a 1 want)
  version_answer(${request} got)
  if(NOT got STREQUAL want)
    fail("find_package(tavixTGCL2 ${request}) against ${version}: compatible ${got}, expected ${want}")
  endif()
endforeach()

# The libraries' dynamic sections and exported symbols.
find_program(READELF readelf)
find_program(NM nm)
find_program(LDD ldd)
# Names declared in private headers, as the start of a demangled symbol:
# their classes and namespaces, read from the headers (a namespace that a
# public header opens too is left to the list of functions below), and
# their free functions, listed here.
set(_private_scopes IconPalette)
file(GLOB_RECURSE _pub_headers ${SOURCE_DIR}/include/*.h ${SOURCE_DIR}/src/platform/*/include/*.h
     ${SOURCE_DIR}/backends/*/include/*.h)
set(_public_namespaces "")
foreach(h ${_pub_headers})
  file(STRINGS ${h} _ns REGEX "^namespace tavixTGCL2::[A-Za-z_]+ {")
  foreach(line ${_ns})
    string(REGEX REPLACE "^namespace tavixTGCL2::([A-Za-z_]+).*" "\\1" n "${line}")
    list(APPEND _public_namespaces ${n})
  endforeach()
endforeach()
foreach(h ${_private})
  if(h MATCHES "/include/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${h} _decls REGEX "^(class|struct) [A-Za-z_]+[^;]*$|^namespace tavixTGCL2::[A-Za-z_]+ {")
  foreach(line ${_decls})
    if(line MATCHES "^(class|struct) ([A-Za-z_]+)")
      list(APPEND _private_scopes ${CMAKE_MATCH_2})
    elseif(line MATCHES "^namespace tavixTGCL2::([A-Za-z_]+)" AND NOT CMAKE_MATCH_1 STREQUAL "qt"
           AND NOT CMAKE_MATCH_1 IN_LIST _public_namespaces)
      list(APPEND _private_scopes ${CMAKE_MATCH_1})
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _private_scopes)
foreach(n IconPainter CountedScope ToolbarIcons PaneTitle ProgressAnimation textcodec QtPeer QtFontEngine)
  if(NOT n IN_LIST _private_scopes)
    fail("${n} is not found in the private headers any more: update check.cmake")
  endif()
endforeach()
list(JOIN _private_scopes "|" _scopes)
set(internal_symbol
  "^(vtable for |typeinfo for |typeinfo name for |VTT for |non-virtual thunk to |virtual thunk to )?tavixTGCL2::((qt::)?(${_scopes})(::|<| |$)|Resources::(get|exists|names)\\(|dispatchIdOf|qt::(toQString|toStdString|toQColor|oleToQColor|screenDpi|toQFont|pixelGeometry|toControlUnits|wrapSurface|alphaImage|paintPanel|make[A-Za-z]*Peer)\\()")
function(symbols_matching lib dynamic out)
  if(dynamic)
    set(_opt -D)
  endif()
  execute_process(COMMAND ${NM} ${_opt} --defined-only -C ${lib} OUTPUT_VARIABLE _syms ERROR_QUIET)
  string(REPLACE "\n" ";" _syms "${_syms}")
  set(_hits "")
  foreach(s IN LISTS _syms)
    string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] " "" s "${s}")
    if(s MATCHES "${internal_symbol}")
      list(APPEND _hits "${s}")
    endif()
  endforeach()
  set(${out} "${_hits}" PARENT_SCOPE)
endfunction()

foreach(c ${components})
  set(so ${libdir}/lib${lib_${c}}.so)
  if(READELF)
    execute_process(COMMAND ${READELF} -d ${so} OUTPUT_VARIABLE dyn)
    if(NOT dyn MATCHES "Library soname: \\[lib${lib_${c}}\\.so\\.${soversion}\\]")
      fail("lib${lib_${c}}.so: SONAME is not lib${lib_${c}}.so.${soversion}")
    endif()
    if(NOT dyn MATCHES "\\(RUNPATH\\) +Library runpath: \\[\\$ORIGIN\\]")
      fail("lib${lib_${c}}.so: RUNPATH is not $ORIGIN")
    endif()
    if(dyn MATCHES "\\(RPATH\\)")
      fail("lib${lib_${c}}.so: has an RPATH")
    endif()
  endif()
  if(NM)
    symbols_matching(${so} TRUE hits)
    if(hits)
      list(JOIN hits "\n  " hits)
      fail("lib${lib_${c}}.so exports internal symbols:\n  ${hits}")
    endif()
    # The pattern itself finds internal symbols where they are (the full
    # symbol table), so the test above can fail.
    if(c STREQUAL "core" OR c STREQUAL "qt")
      execute_process(COMMAND ${NM} --defined-only ${so} OUTPUT_VARIABLE _all ERROR_QUIET)
      if(_all MATCHES "tavixTGCL2")
        symbols_matching(${so} FALSE hidden)
        if(NOT hidden)
          fail("the internal-symbol pattern finds nothing in lib${lib_${c}}.so's own symbol table")
        endif()
      endif()
    endif()
  endif()
  if(LDD AND NOT c STREQUAL "core")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${LDD} ${so} OUTPUT_VARIABLE deps)
    if(deps MATCHES "not found")
      fail("ldd lib${lib_${c}}.so finds not everything:\n${deps}")
    endif()
    if(NOT deps MATCHES "libtavixTGCL2\\.so\\.${soversion} => ([^ \n]+)")
      fail("ldd lib${lib_${c}}.so does not list the core:\n${deps}")
    endif()
    get_filename_component(found ${CMAKE_MATCH_1} REALPATH)
    get_filename_component(want ${libdir}/libtavixTGCL2.so.${soversion} REALPATH)
    if(NOT found STREQUAL want)
      fail("lib${lib_${c}}.so loads the core from ${found}, not from beside it")
    endif()
  endif()
endforeach()
phase_done("install tree checks")

# docs/host-guide.md quotes the guide's program: each block marked
# "<!-- from <file> -->" must still be in that file word for word.
file(READ ${SOURCE_DIR}/docs/host-guide.md _doc)
set(_marker "<!-- from ")
string(LENGTH "${_marker}" _marker_len)
set(_quotes 0)
while(TRUE)
  string(FIND "${_doc}" "${_marker}" _at)
  if(_at EQUAL -1)
    break()
  endif()
  math(EXPR _at "${_at} + ${_marker_len}")
  string(SUBSTRING "${_doc}" ${_at} -1 _doc)
  string(FIND "${_doc}" " -->" _end)
  string(SUBSTRING "${_doc}" 0 ${_end} _file)
  string(FIND "${_doc}" "```" _open)
  string(SUBSTRING "${_doc}" ${_open} -1 _doc)
  string(FIND "${_doc}" "\n" _nl)
  math(EXPR _nl "${_nl} + 1")
  string(SUBSTRING "${_doc}" ${_nl} -1 _doc)
  string(FIND "${_doc}" "```" _close)
  string(SUBSTRING "${_doc}" 0 ${_close} _code)
  math(EXPR _close "${_close} + 3")
  string(SUBSTRING "${_doc}" ${_close} -1 _doc)
  if(NOT EXISTS ${SOURCE_DIR}/${_file})
    fail("docs/host-guide.md quotes ${_file}, which does not exist")
  endif()
  file(READ ${SOURCE_DIR}/${_file} _text)
  string(FIND "${_text}" "${_code}" _found)
  if(_found EQUAL -1)
    fail("docs/host-guide.md quotes from ${_file} what is no longer there:\n${_code}")
  endif()
  math(EXPR _quotes "${_quotes} + 1")
endwhile()
if(_quotes LESS 10)
  fail("docs/host-guide.md quotes the program ${_quotes} times; the markers may have changed")
endif()
message(STATUS "package_consumer: docs/host-guide.md quotes the program ${_quotes} times, all current")

# --- running the hosts --------------------------------------------------------

# run_program(<label> [LD_PATH dir] [EXPECT_LOAD_FAILURE] [MATCH regex] COMMAND ...)
function(run_program label)
  cmake_parse_arguments(R "EXPECT_LOAD_FAILURE" "LD_PATH;MATCH" "COMMAND" ${ARGN})
  if(R_LD_PATH)
    set(envargs LD_LIBRARY_PATH=${R_LD_PATH})
    set(how "with LD_LIBRARY_PATH")
  else()
    set(envargs --unset=LD_LIBRARY_PATH)
    set(how "without LD_LIBRARY_PATH")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${envargs} QT_QPA_PLATFORM=offscreen TGCL_FAIL_ON_INTERNAL_FAULT=1
                          ${R_COMMAND}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(R_EXPECT_LOAD_FAILURE)
    if(rc EQUAL 0 OR NOT err MATCHES "cannot open shared object file")
      fail("${label} ${how} was expected not to find its libraries (rc ${rc}):\n${err}")
    endif()
    message(STATUS "package_consumer: ${label} ${how}: does not start, as expected")
    return()
  endif()
  if(NOT rc EQUAL 0 OR (R_MATCH AND NOT out MATCHES "${R_MATCH}"))
    fail("${label} ${how} failed (rc ${rc}):\n${out}\n${err}")
  endif()
  message(STATUS "package_consumer: ${label} ${how}: passed")
endfunction()

set(guide_check --offscreen-check)
set(guide_ok "host-guide: all checks passed")

# --- through find_package -----------------------------------------------------

# No build type: unoptimised host code, since the time goes to compiling
# Qt's headers and the libraries they call are optimised anyway.
function(cmake_host name dir)
  set(bdir ${WORK_DIR}/cmake-${name})
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${dir} -B ${bdir} -G Ninja -DCMAKE_MAKE_PROGRAM=${NINJA}
                          -DCMAKE_CXX_COMPILER=${cxx}
                          "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Werror" -DCMAKE_PREFIX_PATH=${prefix}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    fail("configuring the ${name} host with find_package failed:\n${out}")
  endif()
  # The package must come from the scratch prefix, not from anywhere else.
  load_cache(${bdir} READ_WITH_PREFIX host_ tavixTGCL2_DIR)
  get_filename_component(found ${host_tavixTGCL2_DIR} REALPATH)
  get_filename_component(want ${cmakedir} REALPATH)
  if(NOT found STREQUAL want)
    fail("the ${name} host found the package in ${host_tavixTGCL2_DIR}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${bdir} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    fail("building the ${name} host with find_package failed:\n${out}")
  endif()
endfunction()

# A component this installation lacks: REQUIRED fails with a message that
# names it, OPTIONAL_COMPONENTS leaves it unfound and the rest usable.
set(_probe ${WORK_DIR}/component-probe)
foreach(kind REQUIRED OPTIONAL)
  file(REMOVE_RECURSE ${_probe})
  if(kind STREQUAL "REQUIRED")
    set(_ask "REQUIRED COMPONENTS nosuch")
  else()
    set(_ask "REQUIRED OPTIONAL_COMPONENTS nosuch")
  endif()
  file(WRITE ${_probe}/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)\nproject(probe LANGUAGES NONE)\n"
       "find_package(tavixTGCL2 ${_ask})\n"
       "if(tavixTGCL2_nosuch_FOUND OR NOT TARGET tavixTGCL2::tavixTGCL2)\n  message(FATAL_ERROR \"wrong answer\")\nendif()\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${_probe} -B ${_probe}/build -DCMAKE_PREFIX_PATH=${prefix}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(kind STREQUAL "REQUIRED" AND (rc EQUAL 0 OR NOT out MATCHES "component nosuch is not part of this installation"))
    fail("find_package(tavixTGCL2 REQUIRED COMPONENTS nosuch) did not fail as it should:\n${out}")
  elseif(kind STREQUAL "OPTIONAL" AND NOT rc EQUAL 0)
    fail("find_package(tavixTGCL2 REQUIRED OPTIONAL_COMPONENTS nosuch) failed:\n${out}")
  endif()
endforeach()

cmake_host(core ${SOURCE_DIR}/tests/consumer/core)
run_program("core host (find_package)" MATCH "all checks passed" COMMAND ${WORK_DIR}/cmake-core/consumer-core)
run_program("core host (find_package)" LD_PATH ${libdir} MATCH "all checks passed"
            COMMAND ${WORK_DIR}/cmake-core/consumer-core)
phase_done("core host, find_package")
if(png IN_LIST components)
  cmake_host(png ${SOURCE_DIR}/tests/consumer/png)
  run_program("png host (find_package)" MATCH "^ok" COMMAND ${WORK_DIR}/cmake-png/consumer-png ${WORK_DIR}/a.png)
  run_program("png host (find_package)" LD_PATH ${libdir} MATCH "^ok"
              COMMAND ${WORK_DIR}/cmake-png/consumer-png ${WORK_DIR}/b.png)
  phase_done("png host, find_package")
endif()
if(qt IN_LIST components)
  cmake_host(qt ${SOURCE_DIR}/examples/host-guide)
  # The full check once, with screenshots and every destruction order.
  run_program("guide's Qt host (find_package)" MATCH "${guide_ok}"
              COMMAND ${WORK_DIR}/cmake-qt/host-guide ${guide_check} ${WORK_DIR}/guide --destroy-order all)
  run_program("guide's Qt host (find_package)" LD_PATH ${libdir} MATCH "${guide_ok}"
              COMMAND ${WORK_DIR}/cmake-qt/host-guide ${guide_check} ${WORK_DIR}/guide-ld --destroy-order 2)
  phase_done("Qt host, find_package")
endif()

# --- through pkg-config -------------------------------------------------------

find_program(PKG_CONFIG pkg-config)
if(NOT PKG_CONFIG)
  fail("pkg-config is needed")
endif()
set(ENV{PKG_CONFIG_PATH} ${libdir}/pkgconfig)
function(pc_flags module out_cflags out_libs)
  execute_process(COMMAND ${PKG_CONFIG} --modversion ${module} OUTPUT_VARIABLE v RESULT_VARIABLE rc
                  ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc OR NOT v STREQUAL version)
    fail("pkg-config ${module}: version '${v}', expected ${version} ${err}")
  endif()
  execute_process(COMMAND ${PKG_CONFIG} --cflags ${module} OUTPUT_VARIABLE cf OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${PKG_CONFIG} --libs ${module} OUTPUT_VARIABLE lf OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out_cflags} "${cf}" PARENT_SCOPE)
  set(${out_libs} "${lf}" PARENT_SCOPE)
endfunction()
execute_process(COMMAND ${PKG_CONFIG} --variable=libdir tavixTGCL2 OUTPUT_VARIABLE pc_libdir
                OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(pc_libdir_real ${pc_libdir} REALPATH)
get_filename_component(libdir_real ${libdir} REALPATH)
if(NOT pc_libdir_real STREQUAL libdir_real)
  fail("pkg-config's libdir ${pc_libdir} is not ${libdir}")
endif()

# A build file as a hand-made host build would have: compile, then link
# each program twice, with and without an rpath to the package.
set(pcdir ${WORK_DIR}/pkgconfig-hosts)
file(MAKE_DIRECTORY ${pcdir})
string(JOIN " " _warn ${warnings})
set(ninja "cxx = ${cxx}\nrule cxx\n  command = $cxx -std=c++20 ${_warn} $cflags -c $in -o $out\n"
          "rule moc\n  command = $moc $mocflags $in -o $out\n"
          "rule link\n  command = $cxx $in -o $out $ldflags $libs\n")
set(programs "")
macro(pc_program name module sources)
  pc_flags(${module} _cf _lf)
  string(JOIN " " _extra ${ARGN})
  set(_objs "")
  foreach(s ${sources})
    get_filename_component(_base ${s} NAME_WE)
    string(APPEND ninja "build ${name}-${_base}.o: cxx ${s}\n  cflags = ${_cf} ${_extra}\n")
    list(APPEND _objs ${name}-${_base}.o)
  endforeach()
  list(JOIN _objs " " _objs)
  string(APPEND ninja "build ${name}: link ${_objs}\n  libs = ${_lf}\n")
  string(APPEND ninja "build ${name}-rpath: link ${_objs}\n  libs = ${_lf}\n  ldflags = -Wl,-rpath,${pc_libdir}\n")
  list(APPEND programs ${name} ${name}-rpath)
endmacro()

pc_program(consumer-core ${pc_core} ${SOURCE_DIR}/tests/consumer/core/main.cpp)
if(png IN_LIST components)
  pc_program(consumer-png ${pc_png} ${SOURCE_DIR}/tests/consumer/png/main.cpp)
endif()
if(qt IN_LIST components)
  # Qt's own tool makes the code behind the host's signals and slots; Qt
  # asks its hosts to compile with -fPIC.
  execute_process(COMMAND ${PKG_CONFIG} --variable=libexecdir Qt6Core OUTPUT_VARIABLE qt_libexec
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  pc_flags(${pc_qt} _qcf _qlf)
  set(guide ${SOURCE_DIR}/examples/host-guide)
  string(APPEND ninja "moc = ${qt_libexec}/moc\nmocflags = ${_qcf}\n")
  set(guide_sources ${guide}/main.cpp ${guide}/HostWindow.cpp ${guide}/TestRun.cpp ${guide}/OffscreenCheck.cpp)
  foreach(h HostWindow TestRun)
    string(APPEND ninja "build moc_${h}.cpp: moc ${guide}/${h}.h\n")
    list(APPEND guide_sources moc_${h}.cpp)
  endforeach()
  pc_program(host-guide ${pc_qt} "${guide_sources}" -fPIC -I${guide})
endif()
file(WRITE ${pcdir}/build.ninja ${ninja})
execute_process(COMMAND ${NINJA} -C ${pcdir} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
  fail("building the hosts with pkg-config flags failed:\n${out}")
endif()
phase_done("pkg-config builds")

# A pkg-config host without an rpath needs LD_LIBRARY_PATH (or the prefix in
# the loader's search path); with -Wl,-rpath it starts by itself.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${LDD} ${pcdir}/consumer-core
                OUTPUT_VARIABLE _deps ERROR_QUIET)
if(_deps MATCHES "libtavixTGCL2\\.so\\.[0-9.]+ => not found")
  run_program("core host (pkg-config, no rpath)" EXPECT_LOAD_FAILURE COMMAND ${pcdir}/consumer-core)
else()
  message(STATUS "package_consumer: a tavixTGCL2 is installed where the loader looks; "
                 "the start without LD_LIBRARY_PATH is not tried")
endif()
run_program("core host (pkg-config)" LD_PATH ${libdir} MATCH "all checks passed" COMMAND ${pcdir}/consumer-core)
run_program("core host (pkg-config, rpath)" MATCH "all checks passed" COMMAND ${pcdir}/consumer-core-rpath)
if(png IN_LIST components)
  run_program("png host (pkg-config)" LD_PATH ${libdir} MATCH "^ok" COMMAND ${pcdir}/consumer-png ${WORK_DIR}/c.png)
  run_program("png host (pkg-config, rpath)" MATCH "^ok" COMMAND ${pcdir}/consumer-png-rpath ${WORK_DIR}/d.png)
endif()
if(qt IN_LIST components)
  run_program("guide's Qt host (pkg-config)" LD_PATH ${libdir} MATCH "${guide_ok}"
              COMMAND ${pcdir}/host-guide ${guide_check} ${WORK_DIR}/guide-pc --destroy-order 3)
  run_program("guide's Qt host (pkg-config, rpath)" MATCH "${guide_ok}"
              COMMAND ${pcdir}/host-guide-rpath ${guide_check} ${WORK_DIR}/guide-pc-rpath --destroy-order 4)
endif()
phase_done("pkg-config runs")

# The check under memcheck, once per destruction order in one process
# (about a minute). What Qt WebEngine and fontconfig keep for themselves is
# suppressed; any invalid access, or a block the library or the host loses,
# fails.
find_program(VALGRIND valgrind)
if(qt IN_LIST components AND VALGRIND AND NOT "$ENV{TGCL_SKIP_VALGRIND}" STREQUAL "1")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen
                          TGCL_FAIL_ON_INTERNAL_FAULT=1 ${VALGRIND} --error-exitcode=99 --leak-check=full --show-leak-kinds=definite
                          --errors-for-leak-kinds=definite --num-callers=40
                          --suppressions=${SOURCE_DIR}/tests/consumer/valgrind.supp
                          --log-file=${WORK_DIR}/valgrind.%p.log
                          ${WORK_DIR}/cmake-qt/host-guide ${guide_check} ${WORK_DIR}/guide-valgrind --destroy-order all
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${guide_ok}")
    file(GLOB _logs ${WORK_DIR}/valgrind.*.log)
    fail("the guide's Qt host under valgrind (rc ${rc}; logs: ${_logs}):\n${out}")
  endif()
  message(STATUS "package_consumer: guide's Qt host under valgrind, every destruction order: no errors")
  phase_done("valgrind run")
elseif(qt IN_LIST components)
  message(STATUS "package_consumer: valgrind not run (not installed, or TGCL_SKIP_VALGRIND=1)")
endif()

string(TIMESTAMP _now "%s")
math(EXPR _total "${_now} - ${_started}")
list(JOIN _phase_names "; " _phases)
message(STATUS "package_consumer: passed in ${_total} s (${_phases}); "
               "the guide's screenshots are in ${WORK_DIR}/guide")
