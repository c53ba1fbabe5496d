"""Finds and loads libcadmora, declares its calls, and turns its error codes
into Python exceptions."""

import ctypes
import os
import sys
from ctypes import POINTER, c_char_p, c_double, c_int, c_int32, c_size_t, c_uint, c_uint32, c_uint64, c_void_p

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
            # The board library sits beside cadmora.dll.
            os.add_dll_directory(folder)
        try:
            return ctypes.CDLL(path)
        except OSError as error:
            tried.append("%s (%s)" % (path, error))
    raise ImportError("cadmora: cannot load libcadmora; tried " + "; ".join(tried))


lib = _load()

OK = 0
ERROR_ARGUMENT = 1
ERROR_COMPILE = 2
ERROR_FILE = 3
ERROR_MEMORY = 4
ERROR_BOARD_NOT_FOUND = 5
ERROR_LOAD = 6
ERROR_INTERNAL = 7
ERROR_BOARD = 8

OUTPUT_TIMELINE = 0
OUTPUT_VCD = 1
OUTPUT_SVG = 2


class Diagnostic(ctypes.Structure):
    _fields_ = [
        ("severity", c_char_p),
        ("category", c_char_p),
        ("file", c_char_p),
        ("line", c_uint),
        ("first_column", c_uint),
        ("last_column", c_uint),
        ("message", c_char_p),
        ("suggestion", c_char_p),
    ]


class RunSettings(ctypes.Structure):
    _fields_ = [
        ("until_ns", c_double),
        ("from_ns", c_double),
        ("wait_ns", c_double),
        ("depth", c_uint64),
        ("max_steps", c_uint64),
        ("timescale", c_char_p),
    ]


class RunEnd(ctypes.Structure):
    _fields_ = [("reason", c_int), ("cycle", c_uint64), ("steps", c_uint64), ("error", c_char_p)]


_H = c_void_p
_OUT_H = POINTER(c_void_p)
_U32 = POINTER(c_uint32)
_U64 = POINTER(c_uint64)

_CALLS = {
    "cadmora_version": (c_char_p, []),
    "cadmora_last_error": (c_char_p, []),
    "cadmora_parse_time": (c_int, [c_char_p, POINTER(c_double)]),
    "cadmora_compile_text": (c_int, [c_char_p, c_size_t, c_char_p, c_double, _OUT_H, _OUT_H]),
    "cadmora_compile_file": (c_int, [c_char_p, c_double, _OUT_H, _OUT_H]),
    "cadmora_program_free": (None, [_H]),
    "cadmora_diagnostics_count": (c_int, [_H, POINTER(c_size_t)]),
    "cadmora_diagnostics_get": (c_int, [_H, c_size_t, POINTER(Diagnostic)]),
    "cadmora_diagnostics_text": (c_int, [_H, POINTER(c_char_p)]),
    "cadmora_diagnostics_free": (None, [_H]),
    "cadmora_program_size": (c_int, [_H, POINTER(c_size_t)]),
    "cadmora_program_clock": (c_int, [_H, POINTER(c_double)]),
    "cadmora_program_instructions": (
        c_int, [_H, c_size_t, c_size_t, c_void_p, c_void_p, c_void_p, c_void_p, c_void_p]),
    "cadmora_program_label_count": (c_int, [_H, POINTER(c_size_t)]),
    "cadmora_program_label": (c_int, [_H, c_size_t, POINTER(c_char_p), _U32]),
    "cadmora_program_output_name": (c_int, [_H, c_uint, POINTER(c_char_p)]),
    "cadmora_program_listing": (c_int, [_H, POINTER(c_char_p)]),
    "cadmora_program_check": (c_int, [_H, c_uint64, c_uint64, _OUT_H]),
    "cadmora_run_settings_init": (c_int, [POINTER(RunSettings)]),
    "cadmora_simulate": (c_int, [_H, POINTER(RunSettings), _OUT_H]),
    "cadmora_run_free": (None, [_H]),
    "cadmora_run_end_of": (c_int, [_H, POINTER(RunEnd)]),
    "cadmora_run_steps": (c_int, [_H, c_size_t, c_size_t, c_void_p, c_void_p, c_void_p, c_void_p, c_void_p]),
    "cadmora_run_arrays": (c_int, [_H, POINTER(c_size_t), POINTER(_U64), POINTER(_U32), POINTER(_U32)]),
    "cadmora_run_diagnostics": (c_int, [_H, _OUT_H]),
    "cadmora_run_write": (c_int, [_H, c_int, c_char_p]),
    "cadmora_run_bytes": (c_int, [_H, c_int, POINTER(c_void_p), POINTER(c_size_t)]),
    "cadmora_bytes_free": (None, [c_void_p]),
    "cadmora_board_open": (c_int, [c_int, _OUT_H]),
    "cadmora_board_free": (None, [_H]),
    "cadmora_board_load": (c_int, [_H, _H, POINTER(c_char_p)]),
    "cadmora_board_start": (c_int, [_H]),
    "cadmora_board_stop": (c_int, [_H]),
    "cadmora_board_firmware_id": (c_int, [_H, POINTER(c_int)]),
    "cadmora_board_version": (c_int, [_H, POINTER(c_char_p)]),
}

for _name, (_result, _arguments) in _CALLS.items():
    _function = getattr(lib, _name)
    _function.restype = _result
    _function.argtypes = _arguments


class CadmoraError(Exception):
    """A failure the library reports."""


class BoardError(CadmoraError):
    """The board is missing, refused a command, or was not programmed;
    `report` is Load's report, when there is one."""

    def __init__(self, message, report=""):
        super().__init__(message)
        self.report = report


_EXCEPTIONS = {
    ERROR_ARGUMENT: ValueError,
    ERROR_FILE: OSError,
    ERROR_MEMORY: MemoryError,
    ERROR_BOARD_NOT_FOUND: BoardError,
    ERROR_LOAD: BoardError,
    ERROR_BOARD: BoardError,
}


def last_error():
    return lib.cadmora_last_error().decode("utf-8", "replace")


def check(status):
    """Raises the exception for a failed call's status."""
    if status != OK:
        raise _EXCEPTIONS.get(status, CadmoraError)(last_error())


def text(raw):
    return raw.decode("utf-8", "replace") if raw is not None else ""


class Handle:
    """A library object, freed once with its own call; a call on it after
    that raises ValueError rather than reaching the library."""

    _free = None
    _what = "object"

    def __init__(self, pointer):
        self._pointer = pointer

    @property
    def pointer(self):
        if self._pointer is None:
            raise ValueError("the %s has been closed" % self._what)
        return self._pointer

    def _release(self):
        # At the interpreter's exit the library may be gone before the handle.
        if getattr(self, "_pointer", None) is not None and lib is not None:
            pointer, self._pointer = self._pointer, None
            getattr(lib, self._free)(pointer)

    def __del__(self):
        self._release()
