"""Diagnostic records, as cdmsim --diagnostics-format json gives them."""

import collections
import ctypes

from . import _library as L

Diagnostic = collections.namedtuple(
    "Diagnostic", "severity category file line first_column last_column message suggestion")
Diagnostic.__doc__ = """One error or warning: its severity ("error", "warning"), category (as
-W names it), file, 1-based line and columns (0 for none), message and
suggestion ("" for none)."""


class CompileError(L.CadmoraError):
    """The program does not compile. `diagnostics` are its records; str() is
    the text cdmsim prints, each message with its line and a caret."""

    def __init__(self, diagnostics, text):
        super().__init__(text.rstrip("\n"))
        self.diagnostics = diagnostics


def take(pointer):
    """The records and text of a diagnostics handle, which it frees."""
    handle = ctypes.c_void_p(pointer)
    try:
        count = ctypes.c_size_t()
        L.check(L.lib.cadmora_diagnostics_count(handle, ctypes.byref(count)))
        records = []
        for index in range(count.value):
            raw = L.Diagnostic()
            L.check(L.lib.cadmora_diagnostics_get(handle, index, ctypes.byref(raw)))
            records.append(Diagnostic(
                L.text(raw.severity), L.text(raw.category), L.text(raw.file), raw.line, raw.first_column,
                raw.last_column, L.text(raw.message), L.text(raw.suggestion)))
        shown = ctypes.c_char_p()
        L.check(L.lib.cadmora_diagnostics_text(handle, ctypes.byref(shown)))
        return records, L.text(shown.value)
    finally:
        L.lib.cadmora_diagnostics_free(handle)
