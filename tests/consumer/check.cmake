# Installs the built library into a scratch prefix and builds a tiny host
# against it twice: through find_package and through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f include/tavixTGCL2/tavixTGCL2.h include/tavixTGCL2/frame/MMain.h include/tavixTGCL2/Export.h lib/pkgconfig/tavixTGCL2.pc
          lib/cmake/tavixTGCL2/tavixTGCL2Config.cmake)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "installed package lacks ${f}")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer/project -B ${WORK_DIR}/build
                        -G Ninja -DCMAKE_PREFIX_PATH=${prefix}
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer build failed")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out MATCHES "template page: about:blank")
  message(FATAL_ERROR "consumer run failed (${rc}): ${out}")
endif()

# pkg-config path: a plain compiler line, as a non-CMake host builds.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs tavixTGCL2
                  OUTPUT_VARIABLE flags RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc)
    message(FATAL_ERROR "pkg-config does not know the package")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  execute_process(COMMAND c++ ${SOURCE_DIR}/tests/consumer/project/main.cpp ${flags}
                          -Wl,-rpath,${prefix}/lib -o ${WORK_DIR}/consumer-pc RESULT_VARIABLE rc)
  if(rc)
    message(FATAL_ERROR "pkg-config build failed")
  endif()
  execute_process(COMMAND ${WORK_DIR}/consumer-pc RESULT_VARIABLE rc OUTPUT_VARIABLE out)
  if(rc OR NOT out MATCHES "template page: about:blank")
    message(FATAL_ERROR "pkg-config consumer run failed (${rc}): ${out}")
  endif()
endif()
message(STATUS "consumer builds and runs against the installed package")
