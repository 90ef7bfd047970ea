"""Builds the Python package tessaro with the project's CMake build.

`pip install .` runs this (see pyproject.toml): the package's Python files
come from python/tessaro/; for its extension tessaro._core it configures the
repository in Release for the interpreter that runs pip, builds the module's
target alone (the core and the module, nothing else) and copies the extension
into the wheel. Nothing is downloaded; CMake, a C++17 compiler, GMP, pybind11 and numpy
come from Debian (scripts/deps.sh core python).

Everything it writes stays out of the source tree's tracked files: setuptools'
build folder is build-python/ (ignored by git), or TESSARO_BUILD_BASE when
set. CMAKE_BUILD_PARALLEL_LEVEL sets the number of compile jobs (default 2).
"""

import os
import re
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
BUILD_BASE = Path(os.environ.get("TESSARO_BUILD_BASE", ROOT / "build-python")).resolve()


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(tessaro VERSION ([0-9.]+)", text).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        cmake_dir = Path(self.build_temp).resolve() / "cmake"
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(
            ["cmake", "-S", str(ROOT), "-B", str(cmake_dir),
             "-DCMAKE_BUILD_TYPE=Release",
             f"-DPython3_EXECUTABLE={sys.executable}",
             "-DTESSARO_REQUIRE_PYTHON=ON",
             "-DTESSARO_BUILD_GUI=OFF",
             "-DBUILD_TESTING=OFF"],
            check=True)
        subprocess.run(
            ["cmake", "--build", str(cmake_dir), "--target", "tessaro_python", "-j", jobs],
            check=True)
        built = cmake_dir / "python" / "tessaro" / ("_core" + sysconfig.get_config_var("EXT_SUFFIX"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


BUILD_BASE.mkdir(parents=True, exist_ok=True)
setup(
    version=project_version(),
    packages=["tessaro"],
    package_dir={"": "python"},
    package_data={"tessaro": ["py.typed", "*.pyi"]},
    ext_modules=[CMakeExtension("tessaro._core")],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": str(BUILD_BASE)},
             "egg_info": {"egg_base": str(BUILD_BASE)}},
    zip_safe=False,
)
