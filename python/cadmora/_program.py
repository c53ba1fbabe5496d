"""Compiling, and a compiled program."""

import ctypes
import os

import numpy

from . import _arguments as A
from . import _diagnostics as D
from . import _library as L

INSTRUCTION = numpy.dtype([
    ("output", numpy.uint32), ("opcode", numpy.int32), ("data", numpy.int32),
    ("duration_ns", numpy.float64), ("line", numpy.uint32)])


def compile(source, clock_mhz=100.0):
    """Compiles program text (a str) or a file (an os.PathLike, such as a
    pathlib.Path) at `clock_mhz`; raises CompileError when it does not
    compile."""
    clock = A.real(clock_mhz, "clock_mhz")
    program = ctypes.c_void_p()
    found = ctypes.c_void_p()
    if isinstance(source, str):
        text = A.c_text(source, "source")
        status = L.lib.cadmora_compile_text(text, len(text), b"", clock, ctypes.byref(program), ctypes.byref(found))
    elif isinstance(source, os.PathLike):
        path = os.fsdecode(os.fspath(source))
        status = L.lib.cadmora_compile_file(A.c_text(path, "source"), clock, ctypes.byref(program),
                                            ctypes.byref(found))
    else:
        raise TypeError("source must be program text (str) or a file (os.PathLike), not %s" % type(source).__name__)
    diagnostics, shown = D.take(found.value) if found.value else ([], "")
    if status == L.ERROR_COMPILE:
        raise D.CompileError(diagnostics, shown)
    L.check(status)
    return Program(program.value, diagnostics)


class Program(L.Handle):
    """A compiled program: its instructions as the board is written them,
    its labels, Load's listing, its timing checks, and runs of it."""

    _free = "cadmora_program_free"
    _what = "program"

    def __init__(self, pointer, warnings):
        super().__init__(pointer)
        self.warnings = warnings
        self._instructions = None

    def close(self):
        """Frees the program now; runs made from it keep what they need."""
        self._release()

    @property
    def clock_mhz(self):
        clock = ctypes.c_double()
        L.check(L.lib.cadmora_program_clock(self.pointer, ctypes.byref(clock)))
        return clock.value

    @property
    def instructions(self):
        """One row per instruction, by address: output, opcode, data,
        duration_ns and source line."""
        if self._instructions is None:
            count = ctypes.c_size_t()
            L.check(L.lib.cadmora_program_size(self.pointer, ctypes.byref(count)))
            n = count.value
            columns = {name: numpy.empty(n, INSTRUCTION[name]) for name in INSTRUCTION.names}
            L.check(L.lib.cadmora_program_instructions(
                self.pointer, 0, n, *(columns[name].ctypes.data for name in INSTRUCTION.names)))
            rows = numpy.empty(n, INSTRUCTION)
            for name in INSTRUCTION.names:
                rows[name] = columns[name]
            rows.flags.writeable = False
            self._instructions = rows
        return self._instructions

    @property
    def labels(self):
        """Each label's name and the address it names."""
        count = ctypes.c_size_t()
        L.check(L.lib.cadmora_program_label_count(self.pointer, ctypes.byref(count)))
        labels = {}
        for index in range(count.value):
            name = ctypes.c_char_p()
            address = ctypes.c_uint32()
            L.check(L.lib.cadmora_program_label(self.pointer, index, ctypes.byref(name), ctypes.byref(address)))
            labels[L.text(name.value)] = address.value
        return labels

    @property
    def output_names(self):
        """The outputs the program's "/ outputs: 0=laser" lines name, as
        {number: name}."""
        names = {}
        for output in range(24):
            name = ctypes.c_char_p()
            L.check(L.lib.cadmora_program_output_name(self.pointer, output, ctypes.byref(name)))
            if name.value:
                names[output] = L.text(name.value)
        return names

    def listing(self):
        """The listing exactly as Load lists the program."""
        shown = ctypes.c_char_p()
        L.check(L.lib.cadmora_program_listing(self.pointer, ctypes.byref(shown)))
        return L.text(shown.value)

    def check(self, min_cycles=5, memory=32768):
        """The timing checks' warnings, as cdmsim --check finds them."""
        found = ctypes.c_void_p()
        L.check(L.lib.cadmora_program_check(
            self.pointer, A.integer(min_cycles, "min_cycles", 0, 2**64 - 1),
            A.integer(memory, "memory", 0, 2**64 - 1), ctypes.byref(found)))
        return D.take(found.value)[0]

    def simulate(self, until=None, wait=None, from_=None, depth=None, max_steps=None, timescale=None):
        """Runs the program as cdmsim does with --until, --wait, --from,
        --depth, --max-steps and --timescale, each of them cdmsim's default
        when None; times as "10us" or numbers of ns, the dump's unit as
        "10ns" or "1ps"."""
        from ._run import Run

        settings = L.RunSettings()
        L.check(L.lib.cadmora_run_settings_init(ctypes.byref(settings)))
        if until is not None:
            settings.until_ns = A.time_ns(until, "until")
        if wait is not None:
            settings.wait_ns = A.time_ns(wait, "wait")
        if from_ is not None:
            settings.from_ns = A.time_ns(from_, "from_")
        if depth is not None:
            settings.depth = A.integer(depth, "depth", 0, 65536)
        if max_steps is not None:
            settings.max_steps = A.integer(max_steps, "max_steps", 0, 2**64 - 1)
        if timescale is not None:
            settings.timescale = A.c_text(timescale, "timescale")
        run = ctypes.c_void_p()
        L.check(L.lib.cadmora_simulate(self.pointer, ctypes.byref(settings), ctypes.byref(run)))
        return Run(run.value, self)
