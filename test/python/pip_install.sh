#!/usr/bin/env bash
# pip_install.sh PYTHON SOURCE_DIR
#
# `pip install --no-build-isolation SOURCE_DIR` into a fresh virtual
# environment of PYTHON that sees the system's packages, with no package
# index (as on a machine without network), then imports the installed module
# from outside the source tree and triangulates. Builds in a temporary folder
# of its own (TESSARO_BUILD_BASE), with two jobs.
set -euo pipefail
python=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$python" -m venv --system-site-packages "$work/venv"
export PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 CMAKE_BUILD_PARALLEL_LEVEL=2
export TESSARO_BUILD_BASE=$work/build
unset PYTHONPATH
"$work/venv/bin/pip" install --no-build-isolation "$source_dir"

cd "$work"
"$work/venv/bin/python" - "$work/venv" <<'PYTHON'
import sys
import numpy as np
import tessaro

assert tessaro.__file__.startswith(sys.argv[1]), tessaro.__file__
# The type stub and its marker are installed with the package.
import pathlib
package = pathlib.Path(tessaro.__file__).parent
assert (package / "py.typed").exists() and (package / "_core.pyi").exists(), list(package.iterdir())
tri = tessaro.triangulate(np.array([[0, 0], [1, 0], [0, 1], [1, 1], [0.5, 0.4]]))
assert tri.triangles.shape == (4, 3), tri.triangles
print("installed", tessaro.__file__, tri)
PYTHON
