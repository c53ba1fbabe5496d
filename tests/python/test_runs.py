"""Compiles and runs the golden programs of cdmsim's tests and the examples
through the package, and holds every result to what cdmsim itself gives for
the same program and settings: the records, the timeline, and the dump and
diagram byte for byte."""

import json
import pathlib
import shutil

import pytest

import cadmora
from conftest import ROOT, golden_cases, run_program

# cdmsim's options and the package's names for them; --quiet and --check
# change only what cdmsim prints.
RUN_OPTIONS = {"until": "until", "from": "from_", "wait": "wait", "depth": "depth", "max-steps": "max_steps",
               "timescale": "timescale"}
CHECK_OPTIONS = {"min-cycles": "min_cycles", "memory": "memory"}


def options(args):
    """The keyword arguments of cdmsim's arguments; None for a case that
    uses others (warning switches, other formats, boards, pipes)."""
    run, checks, clock, pairs = {}, {}, 100.0, []
    for arg in args:
        if arg in ("--quiet", "--check"):
            continue
        if arg.startswith("--") and "=" in arg:
            pairs += arg.split("=", 1)
        else:
            pairs.append(arg)
    if len(pairs) % 2:
        return None
    for option, value in zip(pairs[::2], pairs[1::2]):
        name = option[2:]
        if name == "clock":
            clock = float(value)
        elif name in RUN_OPTIONS:
            run[RUN_OPTIONS[name]] = int(value) if name in ("depth", "max-steps") else value
        elif name in CHECK_OPTIONS:
            checks[CHECK_OPTIONS[name]] = int(value)
        else:
            return None
    return clock, run, checks


CASES = [(title, args, program) for name in ("runs.golden", "outputs.golden", "diagnostics.golden")
         for title, args, program in golden_cases(name) if options(args) is not None]
# Outputs named, and named wrongly, the dump in a unit of the user's.
NAMED = [("outputs named wrongly " + " ".join(args), args, program)
         for title, _, program in golden_cases("diagnostics.golden") if title.startswith("outputs: lines that name")
         for args in ([], ["--timescale", "1ns", "--from", "50ns"], ["--clock", "3", "--timescale", "10ns"])]
EXAMPLES = [(path.name, args, path.read_text())
            for path in sorted((ROOT / "examples").glob("*.cdm"))
            for args in ([], ["--until", "30us", "--from", "1us", "--wait", "2us", "--max-steps", "5000"])]


@pytest.mark.parametrize("title,args,source", CASES + NAMED + EXAMPLES,
                         ids=[c[0][:60] for c in CASES + NAMED + EXAMPLES])
def test_as_cdmsim_gives_it(title, args, source, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    pathlib.Path("program.cdm").write_bytes(source.encode())
    clock, run_options, check_options = options(args)
    args = [arg for arg in args if arg not in ("--quiet", "--check")]
    cdmsim = run_program("cdmsim", "program.cdm", *args, "--diagnostics-format", "json", "--vcd", "cdmsim.vcd",
                         "--svg", "cdmsim.svg")
    expected = json.loads(cdmsim.stderr)
    records = lambda found: [record._asdict() for record in found]
    try:
        program = cadmora.compile(pathlib.Path("program.cdm"), clock)
    except cadmora.CompileError as error:
        assert cdmsim.returncode == 1
        assert records(error.diagnostics) == expected
        text = run_program("cdmsim", "program.cdm", *args)
        assert str(error) + "\n" == text.stderr.decode()
        return
    run = program.simulate(**run_options)
    found = program.warnings + program.check(**check_options) + run.diagnostics()
    assert records(found) == expected
    assert run.timeline().encode() == cdmsim.stdout
    run.to_vcd("package.vcd")
    run.to_svg("package.svg")
    assert pathlib.Path("package.vcd").read_bytes() == pathlib.Path("cdmsim.vcd").read_bytes()
    assert pathlib.Path("package.svg").read_bytes() == pathlib.Path("cdmsim.svg").read_bytes()
    assert run._repr_svg_().encode() == pathlib.Path("cdmsim.svg").read_bytes()
    # The arrays say what the timeline's rows say.
    rows = [line.split("\t") for line in cdmsim.stdout.decode().splitlines()[1:-1]]
    assert [[int(row[0]), int(row[2]), int(row[3]), int(row[4], 16), int(row[7])] for row in rows] == [
        list(map(int, step)) for step in zip(run.cycles, run.addresses, run.lines, run.outputs, run.lengths)]


@pytest.mark.parametrize("names,camera,labels", [
    ("", "no output is named 'camera': outputs are numbered 0 to 23$", ["out0", "out1"]),
    ("/ outputs: 0=laser\n", "no output is named 'camera': outputs are numbered 0 to 23; the program names laser \\(0\\)$",
     ["laser", "out1"]),
    ("/ outputs: 1=Camera, 0=laser\n", None, ["laser", "Camera"]),
])
def test_output_levels_are_a_step_form_of_the_run(names, camera, labels):
    program = cadmora.compile(names + "0x1, 10ns\n0x0, 20ns\n0x3, 30ns\n0x2, 40ns, STOP\n")
    run = program.simulate()
    assert program.output_names == {bit: label for bit, label in enumerate(labels) if label != "out%d" % bit}
    assert [list(values) for values in run.output(0)] == [[0, 10, 30, 60, 100], [1, 0, 1, 0, 0]]
    assert [list(values) for values in run.output(1)] == [[0, 30, 100], [0, 1, 1]]
    if camera:
        with pytest.raises(LookupError, match=camera):
            run.output("camera")
    else:
        assert [list(values) for values in run.output("camera")] == [list(values) for values in run.output(1)]
    pytest.importorskip("matplotlib").use("Agg")
    assert [tick.get_text() for tick in run.plot().get_yticklabels()] == labels


def test_arrays_outlive_the_run_and_the_program():
    cycles = cadmora.compile("0x1, 10ns\n0x0, 20ns, STOP\n").simulate().cycles
    assert list(cycles) == [0, 1]
    with pytest.raises(ValueError):
        cycles[0] = 5
