"""Bad arguments raise exceptions that say what is wrong; none reaches the
library in a form that could crash it."""

import pathlib

import pytest

import cadmora

PROGRAM = "0x1, 10ns\n0x0, 10ns, STOP\n"


def compiled():
    return cadmora.compile(PROGRAM)


BAD = [
    (lambda: cadmora.compile(b"0x1, 10ns"), TypeError, "source must be program text"),
    (lambda: cadmora.compile(42), TypeError, "not int"),
    (lambda: cadmora.compile("0x1,\0 10ns"), ValueError, "NUL"),
    (lambda: cadmora.compile(PROGRAM, clock_mhz="100"), TypeError, "clock_mhz must be a number"),
    (lambda: cadmora.compile(PROGRAM, clock_mhz=0), ValueError, "clock must be above 0"),
    (lambda: cadmora.compile(PROGRAM, clock_mhz=-5), ValueError, "clock must be above 0"),
    (lambda: cadmora.compile(PROGRAM, clock_mhz=float("nan")), ValueError, "finite"),
    (lambda: cadmora.compile(PROGRAM, clock_mhz=1e-300), ValueError, "fast enough"),
    (lambda: cadmora.compile(pathlib.Path("no such file.cdm")), OSError, "cannot open no such file.cdm"),
    (lambda: compiled().simulate(until="10 parsecs"), ValueError, "until: '10 parsecs' is not a time"),
    (lambda: compiled().simulate(until="9" * 400 + "s"), ValueError, "out of range"),
    (lambda: compiled().simulate(until=-1), ValueError, "until must not be negative"),
    (lambda: compiled().simulate(wait=float("inf")), ValueError, "finite"),
    (lambda: compiled().simulate(depth=65537), ValueError, "depth must be from 0 to 65536"),
    (lambda: compiled().simulate(max_steps=2**64), ValueError, "max_steps must be from 0"),
    (lambda: compiled().simulate(max_steps=-1), ValueError, "max_steps must be from 0"),
    (lambda: compiled().simulate(max_steps=True), TypeError, "max_steps must be an integer"),
    (lambda: compiled().simulate(timescale="3ns"), ValueError, "timescale '3ns' is not a dump unit: 1, 10 or 100"),
    (lambda: compiled().simulate(timescale=10), TypeError, "timescale must be a str"),
    (lambda: compiled().check(memory=1.5), TypeError, "memory must be an integer"),
    (lambda: compiled().simulate().output(24), ValueError, "output must be from 0 to 23"),
    (lambda: compiled().simulate().to_vcd(3), TypeError, "path must be a str"),
    (lambda: compiled().simulate().to_vcd("no/such/folder/x.vcd"), OSError, "cannot write"),
    (lambda: cadmora.Board(-1), ValueError, "number must be from 0"),
    (lambda: cadmora.Board(2**31), ValueError, "number must be from 0"),
    (lambda: cadmora.Board().load("0x1, 10ns"), TypeError, "program must be a cadmora.Program"),
]


@pytest.mark.parametrize("call,exception,message", BAD, ids=[case[2] for case in BAD])
def test_bad_arguments_raise(call, exception, message, emulator):
    with pytest.raises(exception, match=message):
        call()


def test_a_closed_handle_is_refused():
    program = compiled()
    program.close()
    with pytest.raises(ValueError, match="the program has been closed"):
        program.simulate()


def test_version_is_the_header_s():
    header = (pathlib.Path(__file__).parents[2] / "libcadmora" / "cadmora.h").read_text()
    assert '#define CADMORA_VERSION "%s"' % cadmora.version() in header
