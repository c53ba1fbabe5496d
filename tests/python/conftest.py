"""What the Python tests share: the built programs, an emulator state folder
of each test's own, and the golden programs cdmsim's tests run."""

import os
import pathlib
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BIN = pathlib.Path(os.environ["CADMORA_BIN"])


@pytest.fixture
def emulator(tmp_path, monkeypatch):
    """A fresh emulator state folder, keeping a journal, for the library in
    this process and the programs it starts; the test runs inside it."""
    folder = tmp_path / "emulator"
    folder.mkdir()
    (folder / "emulator.ini").write_text("journal = yes\nboards = 0 1\n")
    monkeypatch.setenv("MORVAPI_EMULATOR_DIR", str(folder))
    monkeypatch.chdir(tmp_path)
    return folder


def run_program(name, *arguments):
    return subprocess.run([str(BIN / name), *map(str, arguments)], capture_output=True)


def golden_cases(name):
    """(title, args, program) of each case of tests/simulator/NAME.golden."""
    text = (ROOT / "tests" / "simulator" / name).read_text()
    for case in text.split("\n=== ")[1:]:
        title, _, rest = case.partition("\n")
        args = next((line[5:].split() for line in rest.splitlines() if line.startswith("args ")), [])
        program = rest.partition("--- program\n")[2].partition("\n--- ")[0] + "\n"
        yield title, args, program
