"""The board, through the board library: the emulator or the maker's."""

import ctypes

from . import _arguments as A
from . import _library as L


class Board(L.Handle):
    """Board `number`, selected as it is made. Each call is one connection,
    as cdmcli makes one per command. Use it in a with statement, or close()."""

    _free = "cadmora_board_free"
    _what = "board"

    def __init__(self, number=0):
        number = A.integer(number, "number", 0, 2**31 - 1)
        board = ctypes.c_void_p()
        L.check(L.lib.cadmora_board_open(number, ctypes.byref(board)))
        super().__init__(board.value)
        self.number = number

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def close(self):
        self._release()

    def load(self, program):
        """Programs the board as cdmcli Load does; returns Load's report, or
        raises BoardError with it when the board was not programmed."""
        from ._program import Program

        if not isinstance(program, Program):
            raise TypeError("program must be a cadmora.Program, not %s" % type(program).__name__)
        report = ctypes.c_char_p()
        status = L.lib.cadmora_board_load(self.pointer, program.pointer, ctypes.byref(report))
        if status in (L.ERROR_LOAD, L.ERROR_BOARD_NOT_FOUND):
            raise L.BoardError(L.last_error(), L.text(report.value))
        L.check(status)
        return L.text(report.value)

    def start(self):
        L.check(L.lib.cadmora_board_start(self.pointer))

    def stop(self):
        L.check(L.lib.cadmora_board_stop(self.pointer))

    @property
    def firmware_id(self):
        """Bits 8-15 and 0-7: the firmware's major and minor numbers."""
        found = ctypes.c_int()
        L.check(L.lib.cadmora_board_firmware_id(self.pointer, ctypes.byref(found)))
        return found.value

    @property
    def version(self):
        """The board library's version text."""
        found = ctypes.c_char_p()
        L.check(L.lib.cadmora_board_version(self.pointer, ctypes.byref(found)))
        return L.text(found.value)
