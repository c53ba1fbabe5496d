"""Compile, check, simulate and load Cadmora board timing programs.

A pure-Python layer over libcadmora (ctypes), with numpy arrays of the
instructions and of a run's steps; matplotlib is needed only to plot.
"""

from ._library import lib as _lib


def version():
    """The library's version, "MAJOR.MINOR.PATCH"."""
    return _lib.cadmora_version().decode()


__version__ = version()
