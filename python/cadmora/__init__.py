"""Compile, check, simulate and load Cadmora board timing programs.

A pure-Python layer over libcadmora (ctypes), with numpy arrays of the
instructions and of a run's steps; matplotlib is needed only to plot.

    program = cadmora.compile(pathlib.Path("pulse.cdm"))
    run = program.simulate(until="10us")
    with cadmora.Board(0) as board:
        board.load(program)
        board.start()
"""

from ._board import Board
from ._diagnostics import CompileError, Diagnostic
from ._library import BoardError, CadmoraError
from ._library import lib as _lib
from ._program import Program, compile
from ._run import Run

__all__ = ["Board", "BoardError", "CadmoraError", "CompileError", "Diagnostic", "Program", "Run", "compile",
           "version"]


def version():
    """The library's version, "MAJOR.MINOR.PATCH"."""
    return _lib.cadmora_version().decode()


__version__ = version()
