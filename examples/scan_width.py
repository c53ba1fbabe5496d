"""Scans a pulse width: for each width, makes a program, checks and
simulates it, asserts the width the simulation shows, and loads it into
board 0, starts it and stops it."""

import cadmora

TEMPLATE = """/ A pulse of {width} ns on output 0 every microsecond.
PULSE: 0x1, {width}ns
       0x0, {rest}ns, BRANCH, PULSE
"""

with cadmora.Board(0) as board:
    for width in range(100, 600, 100):
        program = cadmora.compile(TEMPLATE.format(width=width, rest=1000 - width), clock_mhz=100.0)
        assert program.check() == [], program.check()
        run = program.simulate(until="5us")
        times, levels = run.output(0)
        assert times[1] - times[0] == width and levels[0] == 1, (width, times[:2])
        board.load(program)
        board.start()
        board.stop()
        print("%d ns: checked, simulated, loaded, started and stopped" % width)
