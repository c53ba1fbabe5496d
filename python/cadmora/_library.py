"""Finds and loads libcadmora, and declares the C functions it calls."""

import ctypes
import os
import sys

_HERE = os.path.dirname(os.path.abspath(__file__))
_NAME = "cadmora.dll" if sys.platform == "win32" else "libcadmora.so.1"


def _candidates():
    """Beside the package first, then CADMORA_LIBRARY, then the system's."""
    beside = os.path.join(_HERE, _NAME)
    if os.path.exists(beside):
        yield beside
    named = os.environ.get("CADMORA_LIBRARY")
    if named:
        yield named
    yield _NAME


def _load():
    tried = []
    for path in _candidates():
        folder = os.path.dirname(path)
        if sys.platform == "win32" and folder:
            # The board library and the runtime sit beside cadmora.dll.
            os.add_dll_directory(folder)
        try:
            return ctypes.CDLL(path)
        except OSError as error:
            tried.append("%s (%s)" % (path, error))
    raise ImportError("cadmora: cannot load libcadmora; tried " + "; ".join(tried))


lib = _load()

lib.cadmora_version.restype = ctypes.c_char_p
lib.cadmora_version.argtypes = []
lib.cadmora_last_error.restype = ctypes.c_char_p
lib.cadmora_last_error.argtypes = []
