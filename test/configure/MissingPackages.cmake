# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DCXX_COMPILER=... -DGENERATOR=...
#       -DMAKE_PROGRAM=... -P this
#
# A fresh machine, imitated by hiding packages from CMake
# (CMAKE_DISABLE_FIND_PACKAGE_<Name>) rather than uninstalling them:
# 1. `make run`'s configure with only the program's packages: the tests and
#    the benchmarks are left out with messages naming their packages, and the
#    program builds. Without X11 alone (GoogleTest present) the configure
#    still passes, and with TESSARO_REQUIRE_ALL=ON, as `make test` configures,
#    it fails and names the package.
# 2. The README's library commands with no optional package at all: the
#    program is left out too, the rest builds and installs, the installed
#    tessaro-triangulate runs, and examples/ builds against the installation.
# Builds use two jobs and only the targets each check needs.
cmake_minimum_required(VERSION 3.25)

set(optional_packages GLUT OpenGL X11 GTest benchmark CGAL pybind11)
file(REMOVE_RECURSE ${WORK_DIR})

# Configures WORK_DIR/<tree> with the packages <hidden> hidden and the other
# optional ones visible; extra arguments go to cmake. Sets configure_status
# and configure_output.
function(configure_with_hidden tree hidden)
    set(args "")
    foreach(package IN LISTS optional_packages)
        set(hide OFF)
        if(package IN_LIST hidden)
            set(hide ON)
        endif()
        list(APPEND args -DCMAKE_DISABLE_FIND_PACKAGE_${package}=${hide})
    endforeach()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/${tree} -G ${GENERATOR}
                -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                --no-warn-unused-cli ${args} ${ARGN}
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(configure_status ${status} PARENT_SCOPE)
    set(configure_output "${out}" PARENT_SCOPE)
endfunction()

# Fails unless the configure passed (<passes> ON) or failed (OFF) and its
# output names each package of <named> and none of <not_named>.
function(expect_configure tree passes named not_named)
    set(passed OFF)
    if(configure_status EQUAL 0)
        set(passed ON)
    endif()
    if(NOT passed STREQUAL passes)
        message(FATAL_ERROR "${tree}: configure status ${configure_status}:\n${configure_output}")
    endif()
    foreach(package IN LISTS named)
        if(NOT configure_output MATCHES "Debian[ \n]+packages:[^)]*${package}")
            message(FATAL_ERROR "${tree}: ${package} not named:\n${configure_output}")
        endif()
    endforeach()
    foreach(package IN LISTS not_named)
        if(configure_output MATCHES "Debian[ \n]+packages:[^)]*${package}")
            message(FATAL_ERROR "${tree}: ${package} named:\n${configure_output}")
        endif()
    endforeach()
endfunction()

function(run_step description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${description} failed (${status}):\n${out}")
    endif()
    set(step_output "${out}" PARENT_SCOPE)
endfunction()

# 1. make run
configure_with_hidden(run "GTest;X11;benchmark;CGAL" -DTESSARO_REQUIRE_ALL=OFF)
expect_configure(run ON "libgtest-dev;libbenchmark-dev" "freeglut3-dev;libgl-dev")
run_step("Building the program" ${CMAKE_COMMAND} --build ${WORK_DIR}/run -j 2 --target tessaro)

foreach(require_all IN ITEMS OFF ON)
    configure_with_hidden(no-x11 X11 -DTESSARO_REQUIRE_ALL=${require_all})
    set(passes ON)
    if(require_all)
        set(passes OFF)
    endif()
    expect_configure("no-x11, TESSARO_REQUIRE_ALL=${require_all}" ${passes}
                     "libx11-dev;libxtst-dev" "libgtest-dev")
endforeach()

# 2. the core alone
configure_with_hidden(library "${optional_packages}")
expect_configure(library ON "freeglut3-dev;libgtest-dev;libbenchmark-dev;pybind11-dev" "")
run_step("Building with GMP alone" ${CMAKE_COMMAND} --build ${WORK_DIR}/library -j 2)
run_step("Installing and building examples/"
         ${CMAKE_COMMAND} -DBUILD_DIR=${WORK_DIR}/library -DEXAMPLE_DIR=${SOURCE_DIR}/examples
                          -DWORK_DIR=${WORK_DIR}/installed -DCXX_COMPILER=${CXX_COMPILER}
                          -P ${SOURCE_DIR}/test/examples/BuildExampleAgainstInstall.cmake)

# A triangle has three edges.
file(WRITE ${WORK_DIR}/triangle.txt "0 0\n4 0\n2 3\n")
run_step("Running the installed tessaro-triangulate"
         ${WORK_DIR}/installed/prefix/bin/tessaro-triangulate ${WORK_DIR}/triangle.txt)
string(REGEX MATCHALL "[^\n]+" edges "${step_output}")
list(LENGTH edges edge_count)
if(NOT edge_count EQUAL 3)
    message(FATAL_ERROR "installed tessaro-triangulate printed:\n${step_output}")
endif()
