# The parts of the project beside the core. The core needs only GMP; every
# other part is built where its packages are found and otherwise left out
# with one configure message that names it and the Debian packages that
# would bring it in. With TESSARO_REQUIRE_ALL=ON (as `make test` configures)
# a missing package is a configure error instead, so that a test run never
# passes by building less.
#
#   tessaro_optional_part(<result-var> <part>
#                         [<found-var> <what> <debian-packages>]...)
#
# Sets <result-var> to ON when every <found-var> is true, OFF otherwise.
# <debian-packages> is one argument: several packages separated by spaces.
function(tessaro_optional_part result part)
    set(missing "")
    set(packages "")
    set(requirements ${ARGN})
    while(requirements)
        list(POP_FRONT requirements found_var what what_packages)
        if(NOT ${found_var})
            list(APPEND missing "${what}")
            list(APPEND packages "${what_packages}")
        endif()
    endwhile()
    if(NOT missing)
        set(${result} ON PARENT_SCOPE)
        return()
    endif()

    list(JOIN missing ", " missing)
    list(JOIN packages " " packages)
    if(TESSARO_REQUIRE_ALL)
        message(FATAL_ERROR "Cannot build ${part}: ${missing} not found "
                            "(Debian packages: ${packages}). TESSARO_REQUIRE_ALL is ON, "
                            "so no part may be left out.")
    endif()
    message(STATUS "Leaving out ${part}: ${missing} not found (Debian packages: ${packages})")
    set(${result} OFF PARENT_SCOPE)
endfunction()
