#!/usr/bin/env bash
# Installs the Debian packages that a make target needs and that are missing.
#
#   scripts/deps.sh GROUP...     GROUP is one of: core program build test bench
#                                fuzz memcheck python web
#
#   core      the compiler, CMake and GMP: the triangulation core, the scene
#             library, tessaro-triangulate, the fuzz harness and the soak
#   program   GLUT, OpenGL and GLU for the interactive program (with core)
#   build     core and program
#   test      what the whole suite needs beyond core and program: GoogleTest,
#             X11/XTest and Xvfb for the GL and end-to-end tests, clang for
#             the fuzzer, Google Benchmark and CGAL (the suite builds the
#             benchmarks too), clang-format, xmllint, ImageMagick, pkg-config
#   bench, fuzz, memcheck  what `make bench`, `make fuzz`, `make memcheck`
#             need beyond core (and program, for memcheck)
#   python    the Python module for Debian's /usr/bin/python3 (pybind11,
#             numpy, the interpreter's headers) and its tests: scipy as the
#             reference, pytest, and venv, pip, setuptools and wheel for the check
#             that `pip install .` works offline
#   web       the WebAssembly build and its tests: Emscripten, Node.js with
#             npm (for the dev dependencies, installed with npm ci), Chromium
#             for the demo's browser test. A Node.js from elsewhere (with its
#             own npm) counts as installed: its commands are on the PATH
#
# Installs with apt-get when running as root, otherwise through sudo. Where
# neither is possible it prints the one command that would install them and
# fails, so that a build never starts half-equipped.
set -euo pipefail

packages_for() {
    case "$1" in
    core) echo cmake make g++ libgmp-dev ;;
    program) echo freeglut3-dev libglu1-mesa-dev libgl-dev ;;
    build) packages_for core && packages_for program ;;
    test) echo googletest libgtest-dev libgmock-dev xvfb libgl1-mesa-dri libglx-mesa0 \
        libx11-dev libxtst-dev imagemagick clang-format clang libclang-rt-14-dev \
        libxml2-utils libbenchmark-dev libcgal-dev pkg-config ;;
    bench) echo libbenchmark-dev libcgal-dev python3 python3-matplotlib gmsh ;;
    fuzz) echo clang libclang-rt-14-dev ;;
    memcheck) echo valgrind xvfb libgl1-mesa-dri libglx-mesa0 libx11-dev libxtst-dev ;;
    web) echo emscripten nodejs npm chromium ;;
    python) echo pybind11-dev python3-numpy python3-dev python3-scipy python3-pytest python3-meshio python3-venv \
        python3-pip python3-setuptools python3-wheel python3-dask python3-distributed python3-zarr ;;
    *)
        echo "deps.sh: unknown group '$1' (known: core program build test bench fuzz memcheck python web)" >&2
        exit 2
        ;;
    esac
}

# The command a package brings, where another source may bring it too (a
# Node.js from NodeSource includes npm and conflicts with Debian's npm).
command_of() {
    case "$1" in
    nodejs) echo node ;;
    npm) echo npm ;;
    *) echo "" ;;
    esac
}

is_installed() {
    local command
    command=$(command_of "$1")
    if [ -n "$command" ] && command -v "$command" >/dev/null 2>&1; then
        return 0
    fi
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for group in "$@"; do
    group_packages=$(packages_for "$group")
    for pkg in $group_packages; do
        if ! is_installed "$pkg" && [[ " ${missing[*]-} " != *" $pkg "* ]]; then
            missing+=("$pkg")
        fi
    done
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "deps.sh: installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run_as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    run_as_root=(sudo)
elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
    run_as_root=(sudo)
else
    echo "deps.sh: cannot install packages (not root, no usable sudo). Run:" >&2
    echo "    sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${run_as_root[@]}" apt-get update -q
"${run_as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
