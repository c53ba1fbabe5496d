"""Board.load against cdmcli Load on the emulator: the same board memory,
report and journal; the instructions the package gives are those Load
writes; start, stop and the board's facts."""

import pathlib
import subprocess
import sys
import threading

import pytest

import cadmora
from conftest import ROOT, run_program

EXAMPLES = sorted((ROOT / "examples").glob("*.cdm"))


def journal_lines(folder):
    """The journal's calls without their times; the selection a Board makes
    first is no part of Load."""
    lines = (folder / "journal.txt").read_text().splitlines()
    (folder / "journal.txt").unlink()
    return [line.split(" ", 1)[1] for line in lines if "cdm_select_board" not in line]


@pytest.mark.parametrize("path", EXAMPLES, ids=[path.name for path in EXAMPLES])
@pytest.mark.parametrize("clock", [100, 33.3])
def test_load_is_cdmcli_load(path, clock, emulator):
    cdmcli = run_program("cdmcli", "Load", path, clock)
    assert cdmcli.returncode == 0
    memory = (emulator / "board0.program").read_text()
    expected_journal = journal_lines(emulator)
    (emulator / "board0.program").unlink()

    program = cadmora.compile(path, clock)
    with cadmora.Board(0) as board:
        assert board.load(program) == cdmcli.stdout.decode()
    assert (emulator / "board0.program").read_text() == memory
    assert journal_lines(emulator) == expected_journal
    assert program.listing() == cdmcli.stdout.decode()

    rows = [line.split() for line in memory.splitlines()[1:]]
    assert [(int(o), int(c), int(d), float(t)) for o, c, d, t in rows] == [
        (int(i["output"]), int(i["opcode"]), int(i["data"]), float(i["duration_ns"])) for i in program.instructions]


def test_a_failed_load_raises_with_load_s_report(emulator):
    (emulator / "emulator.ini").write_text("fail_write_at = 1\n")
    program = cadmora.compile("0x1, 10ns\n0x2, 10ns\n0x3, 10ns, STOP\n")
    cdmcli_report = run_program("cdmcli", "Load", write("program.cdm", "0x1, 10ns\n0x2, 10ns\n0x3, 10ns, STOP\n"),
                                100).stdout.decode()
    with cadmora.Board() as board, pytest.raises(cadmora.BoardError) as raised:
        board.load(program)
    assert raised.value.report == cdmcli_report
    assert "Failed writing instruction on Line 2" in raised.value.report


def test_start_stop_and_the_board_s_facts(emulator):
    with cadmora.Board(1) as board:
        board.load(cadmora.compile("0x1, 10ns, STOP\n"))
        board.start()
        board.stop()
        assert board.firmware_id == 0x0203
        assert board.version == "1.0 (board emulator)"
    assert (emulator / "board1.program").exists()
    with pytest.raises(ValueError, match="the board has been closed"):
        board.start()
    with pytest.raises(cadmora.BoardError, match="no board 7"):
        cadmora.Board(7)


def write(name, text):
    pathlib.Path(name).write_text(text)
    return name


def test_the_scan_example_runs(emulator):
    scan = subprocess.run([sys.executable, str(ROOT / "examples" / "scan_width.py")], capture_output=True)
    assert scan.returncode == 0, scan.stderr.decode()
    assert scan.stdout.decode().count("loaded, started and stopped") == 5
    assert "cdm_start" in (emulator / "journal.txt").read_text()


def test_calls_on_several_threads_at_once(emulator):
    """Compiles and runs on threads of their own, and two boards' loads,
    starts and stops at once: the board calls take turns, as the header
    says, and every load still leaves its own board's program."""
    sources = ["0x%x, %dns\n0x0, 10ns, STOP\n" % (bit, 10 * (bit + 1)) for bit in range(1, 9)]
    expected = [cadmora.compile(source).simulate().vcd() for source in sources]
    failures = []

    def simulate(index):
        for _ in range(20):
            if cadmora.compile(sources[index]).simulate().vcd() != expected[index]:
                failures.append(index)

    def drive(number):
        with cadmora.Board(number) as board:
            for round_ in range(20):
                board.load(cadmora.compile(sources[number + round_ % 2]))
                board.start()
                board.stop()

    def noting_failures(work, argument):
        try:
            work(argument)
        except Exception as error:
            failures.append(error)

    threads = [threading.Thread(target=noting_failures, args=(simulate, i)) for i in range(len(sources))]
    threads += [threading.Thread(target=noting_failures, args=(drive, number)) for number in (0, 1)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
    for number in (0, 1):
        held = (emulator / ("board%d.program" % number)).read_text().splitlines()[1]
        assert held.split()[0] == str(number + 2)
