"""pip install .: CMake builds evstat._core from this tree (the core with the engine's own
flags, position-independent), and setuptools packs it with python/evstat. Works offline
with --no-build-isolation (Debian's setuptools, wheel and pybind11-dev, cmake and g++)."""

import glob
import os
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.join(ROOT, "build-pip")
        subprocess.check_call(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                               "-DEVSTAT_TESTS=OFF", "-DEVSTAT_PYTHON=ON",
                               f"-DPython_EXECUTABLE={sys.executable}"])
        subprocess.check_call(["cmake", "--build", build, "--target", "evstat_python_core",
                               "-j", str(os.cpu_count() or 1)])
        built = glob.glob(os.path.join(build, "python", "evstat", "_core*.so"))
        if len(built) != 1:
            raise RuntimeError(f"CMake left {len(built)} compiled modules in {build}")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built[0], target)


setup(ext_modules=[Extension("evstat._core", sources=[])], cmdclass={"build_ext": CMakeBuild})
