# cmake -DBUILD_DIR=... -DEXAMPLE_DIR=... -DWORK_DIR=... -DCXX_COMPILER=... -P this
#
# 1. installs the build tree into WORK_DIR/prefix, which starts empty;
# 2. configures, builds and runs the example against that prefix alone;
# 3. checks that the package came from the prefix, that print-edges prints
#    exactly the Delaunay edges of its five sites, and that triangulate-flat
#    prints their triangles and the Voronoi cell of the inner site;
# 4. checks that asking for another major version fails.

function(run_step description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${description} failed (${status}):\n${out}\n${err}")
    endif()
    set(step_output "${out}" PARENT_SCOPE)
endfunction()

# Configures a user project against the prefix and nothing else: no package
# registries, no other prefixes.
function(configure_user_project source binary)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${source} -B ${binary}
                -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
                -DCMAKE_PREFIX_PATH=${prefix}
                -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(configure_status ${status} PARENT_SCOPE)
    set(configure_output "${out}${err}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

run_step("Installing into ${prefix}" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed IN ITEMS include/edgealgebra/Site.h include/edgealgebra/QuadEdge.h
                           include/edgealgebra/EdgeWalker.h
                           include/edgealgebra/DelaunayTriangulation.h
                           include/edgealgebra/Triangulate.h include/edgealgebra/Voronoi.h
                           lib/cmake/EdgeAlgebra/EdgeAlgebraConfig.cmake
                           lib/cmake/EdgeAlgebra/EdgeAlgebraConfigVersion.cmake)
    if(NOT EXISTS ${prefix}/${installed})
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()

configure_user_project(${EXAMPLE_DIR} ${WORK_DIR}/example)
if(NOT configure_status EQUAL 0)
    message(FATAL_ERROR "Configuring the example failed:\n${configure_output}")
endif()
file(STRINGS ${WORK_DIR}/example/CMakeCache.txt package_dir REGEX "^EdgeAlgebra_DIR:")
if(NOT package_dir STREQUAL "EdgeAlgebra_DIR:PATH=${prefix}/lib/cmake/EdgeAlgebra")
    message(FATAL_ERROR "EdgeAlgebra was not found in the prefix: ${package_dir}")
endif()

run_step("Building the example" ${CMAKE_COMMAND} --build ${WORK_DIR}/example)
run_step("Running the example" ${WORK_DIR}/example/print-edges)

# The example's sites: a square's corners and (2,3) inside it. Its Delaunay
# triangulation is the four sides and the four spokes from (2,3); compare
# undirected edges, since an edge's direction is the core's own affair.
set(expected "0 0|0 4" "0 0|2 3" "0 0|4 0" "0 4|2 3" "0 4|4 4" "2 3|4 0" "2 3|4 4" "4 0|4 4")
string(REPLACE "\n" ";" lines "${step_output}")
set(edges "")
foreach(line IN LISTS lines)
    if(line STREQUAL "")
        continue()
    endif()
    if(NOT line MATCHES "^([^ ]+ [^ ]+) ([^ ]+ [^ ]+)$")
        message(FATAL_ERROR "unexpected output line: '${line}'")
    endif()
    set(ends "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}")
    list(SORT ends)
    list(JOIN ends "|" edge)
    list(APPEND edges "${edge}")
endforeach()
list(SORT edges)
if(NOT edges STREQUAL expected)
    message(FATAL_ERROR "example printed the edges\n  ${edges}\nexpected\n  ${expected}")
endif()

# The front door on the same sites: four counterclockwise triangles of site
# indices (any corner first, in any order), and the cell of site 2 clipped to
# the square, a pentagon counterclockwise from any corner.
run_step("Running the front-door example" ${WORK_DIR}/example/triangulate-flat)
set(counterclockwise "0 1 2" "1 2 0" "2 0 1" "1 4 2" "4 2 1" "2 1 4"
                     "2 4 3" "4 3 2" "3 2 4" "0 2 3" "2 3 0" "3 0 2")
string(REGEX MATCHALL "triangle [0-9]+ [0-9]+ [0-9]+" triangles "${step_output}")
set(triangle_keys "")
foreach(triangle IN LISTS triangles)
    string(SUBSTRING "${triangle}" 9 -1 corners)
    list(FIND counterclockwise "${corners}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "unexpected triangle: '${corners}'")
    endif()
    string(REPLACE " " ";" corners "${corners}")
    list(SORT corners)
    list(JOIN corners "" key)
    list(APPEND triangle_keys ${key})
endforeach()
list(SORT triangle_keys)
set(pentagon "2 0.833333 3.75 2 2.75 4 1.25 4 0.25 2")
string(REGEX MATCH "cell of site 2: ([^\n]*)" cell_line "${step_output}")
string(FIND "${CMAKE_MATCH_1} ${CMAKE_MATCH_1}" "${pentagon}" at)
string(LENGTH "${CMAKE_MATCH_1}" cell_length)
string(LENGTH "${pentagon}" pentagon_length)
if(NOT triangle_keys STREQUAL "012;023;124;234" OR at EQUAL -1
   OR NOT cell_length EQUAL pentagon_length)
    message(FATAL_ERROR "triangulate-flat printed\n${step_output}")
endif()

# A project that needs another major version must not accept this package.
file(WRITE ${WORK_DIR}/needs-next-major/CMakeLists.txt
     "cmake_minimum_required(VERSION 3.25)\n"
     "project(needs_next_major LANGUAGES CXX)\n"
     "find_package(EdgeAlgebra 1.0 REQUIRED)\n")
configure_user_project(${WORK_DIR}/needs-next-major ${WORK_DIR}/needs-next-major/build)
if(configure_status EQUAL 0 OR NOT configure_output MATCHES "compatible with requested version")
    message(FATAL_ERROR "find_package(EdgeAlgebra 1.0) was not refused:\n${configure_output}")
endif()
message(STATUS "installed package found and used: ${package_dir}")
