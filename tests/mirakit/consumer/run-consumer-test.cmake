# Installs the main build into a temporary prefix, then configures, builds
# and runs a separate project that finds MiraKit there.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Failed: ${ARGN}\n${out}\n${err}")
    endif()
endfunction()

# Only the library and the platform layer it links: the rest of the build
# (the installer program) need not be built for this.
foreach(part platform mirakit)
    run(${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${prefix} -P ${BUILD_DIR}/${part}/cmake_install.cmake)
endforeach()
# The consumer is compiled like the main build: a sanitizer build's libraries
# need the sanitizer runtime loaded first, which only its link flags provide.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix}
    "-DCMAKE_CXX_FLAGS=${CONSUMER_CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_LINKER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{LD_LIBRARY_PATH} "${prefix}/lib:${prefix}/lib64:$ENV{LD_LIBRARY_PATH}")
run(${WORK_DIR}/build/consumer)
message(STATUS "The consumer built and ran against ${prefix}")
