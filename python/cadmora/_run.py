"""A run: its steps as numpy arrays, its outputs ready to plot, and cdmsim's
timeline, dump and diagram of it."""

import ctypes
import os

import numpy

from . import _arguments as A
from . import _diagnostics as D
from . import _library as L

END_REASONS = ("stop", "horizon", "step limit", "error")


def _view(address, count, ctype, owner):
    """The library's array as a read-only numpy array that keeps `owner`,
    which holds the memory, alive."""
    if count == 0:
        return numpy.empty(0, numpy.dtype(ctype))
    memory = (ctype * count).from_address(address)
    memory.owner = owner
    array = numpy.frombuffer(memory, numpy.dtype(ctype))
    array.flags.writeable = False
    return array


def _output_bit(output, names):
    """The bit of an output, by number (0-23) or by the name `names`
    ({number: name}) gives it, letter case aside as programs give names."""
    if isinstance(output, str):
        bit = next((bit for bit, name in names.items() if name.lower() == output.lower()), None)
        if bit is None:
            named = ", ".join("%s (%d)" % (name, bit) for bit, name in sorted(names.items()))
            raise LookupError("no output is named %r: outputs are numbered 0 to 23%s"
                              % (output, "; the program names " + named if named else ""))
        return bit
    return A.integer(output, "output", 0, 23)


class Run(L.Handle):
    """A run of a program. Per step: `cycles` (start cycle), `lengths` (in
    cycles), `outputs` (24 bits), `addresses` and `lines` (source lines);
    `times_ns` is each start in ns; `end_reason`, `end_cycle` and `error`
    say how it ended; `output_names` is the program's {number: name}. The
    arrays are the library's own memory, freed only once neither the run
    nor any of them is left."""

    _free = "cadmora_run_free"
    _what = "run"

    def __init__(self, pointer, program):
        super().__init__(pointer)
        self.clock_mhz = program.clock_mhz
        self.output_names = program.output_names
        self._program_lines = program.instructions["line"]
        count = ctypes.c_size_t()
        cycles = ctypes.POINTER(ctypes.c_uint64)()
        outputs = ctypes.POINTER(ctypes.c_uint32)()
        addresses = ctypes.POINTER(ctypes.c_uint32)()
        L.check(L.lib.cadmora_run_arrays(self.pointer, ctypes.byref(count), ctypes.byref(cycles),
                                         ctypes.byref(outputs), ctypes.byref(addresses)))
        address = lambda pointer: ctypes.cast(pointer, ctypes.c_void_p).value
        self.cycles = _view(address(cycles), count.value, ctypes.c_uint64, self)
        self.outputs = _view(address(outputs), count.value, ctypes.c_uint32, self)
        self.addresses = _view(address(addresses), count.value, ctypes.c_uint32, self)
        end = L.RunEnd()
        L.check(L.lib.cadmora_run_end_of(self.pointer, ctypes.byref(end)))
        self.end_reason = END_REASONS[end.reason]
        self.end_cycle = end.cycle
        self.error = L.text(end.error)

    def __len__(self):
        return len(self.cycles)

    @property
    def lengths(self):
        return numpy.diff(self.cycles, append=numpy.uint64(self.end_cycle))

    @property
    def lines(self):
        return self._program_lines[self.addresses]

    @property
    def times_ns(self):
        return self.cycles * (1000.0 / self.clock_mhz)

    @property
    def end_ns(self):
        return self.end_cycle * (1000.0 / self.clock_mhz)

    def diagnostics(self):
        """What cdmsim reports after the run: instructions it did not reach,
        and the runtime error that ended it."""
        found = ctypes.c_void_p()
        L.check(L.lib.cadmora_run_diagnostics(self.pointer, ctypes.byref(found)))
        return D.take(found.value)[0]

    def output(self, output):
        """Output `output` (0-23, or the name the program gives it) as times
        in ns and levels (0 or 1) at its changes, the run's end last: ready
        for matplotlib's step(times, levels, where="post")."""
        bit = _output_bit(output, self.output_names)
        levels = ((self.outputs >> numpy.uint32(bit)) & numpy.uint32(1)).astype(numpy.uint8)
        if len(levels) == 0:
            return numpy.zeros(1), numpy.zeros(1, numpy.uint8)
        changes = numpy.flatnonzero(numpy.diff(levels, prepend=numpy.uint8(255 if levels[0] == 0 else 0)))
        times = numpy.append(self.times_ns[changes], self.end_ns)
        return times, numpy.append(levels[changes], levels[-1])

    def plot(self, ax=None):
        """Every output that goes high, one trace above the other labelled
        with its name, on `ax` (a new figure's when None); returns the axes."""
        import matplotlib.pyplot as pyplot

        if ax is None:
            ax = pyplot.figure().add_subplot()
        used = int(numpy.bitwise_or.reduce(self.outputs)) if len(self) else 0
        shown = [bit for bit in range(24) if used >> bit & 1]
        for row, bit in enumerate(shown):
            times, levels = self.output(bit)
            ax.step(times, levels * 0.8 + row, where="post")
        ax.set_yticks(range(len(shown)))
        ax.set_yticklabels([self.output_names.get(bit, "out%d" % bit) for bit in shown])
        ax.set_xlabel("time (ns)")
        return ax

    def _bytes(self, kind):
        data = ctypes.c_void_p()
        length = ctypes.c_size_t()
        L.check(L.lib.cadmora_run_bytes(self.pointer, kind, ctypes.byref(data), ctypes.byref(length)))
        try:
            return ctypes.string_at(data.value, length.value)
        finally:
            L.lib.cadmora_bytes_free(data)

    def _write(self, kind, path):
        if not isinstance(path, (str, os.PathLike)):
            raise TypeError("path must be a str or os.PathLike, not %s" % type(path).__name__)
        L.check(L.lib.cadmora_run_write(self.pointer, kind, A.c_text(os.fsdecode(os.fspath(path)), "path")))

    def timeline(self):
        """cdmsim's timeline of the run, as text."""
        return self._bytes(L.OUTPUT_TIMELINE).decode("utf-8", "replace")

    def vcd(self):
        return self._bytes(L.OUTPUT_VCD).decode("utf-8", "replace")

    def svg(self):
        return self._bytes(L.OUTPUT_SVG).decode("utf-8", "replace")

    def to_timeline(self, path):
        self._write(L.OUTPUT_TIMELINE, path)

    def to_vcd(self, path):
        """Writes the value change dump cdmsim --vcd writes."""
        self._write(L.OUTPUT_VCD, path)

    def to_svg(self, path):
        """Writes the timing diagram cdmsim --svg writes."""
        self._write(L.OUTPUT_SVG, path)

    def _repr_svg_(self):
        return self.svg()
