"""libcadmora from Python, with Debian's /usr/bin/python3:
    library_from_python.py compile PROGRAM.cdm ROUNDS
        the median processor time of cadmora.compile on the program's text
    library_from_python.py simulate PROGRAM.cdm STEPS
        the wall and processor time of a run of STEPS steps into numpy
        arrays, and the peak memory it adds per step (this process's peak before and after)"""

import resource
import statistics
import sys
import time

import cadmora


def peak_bytes():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


def main(what, path, count):
    text = open(path).read()
    if what == "compile":
        times = []
        for _ in range(count):
            start = time.process_time()
            program = cadmora.compile(text)
            times.append(time.process_time() - start)
            del program
        print("%.6f" % statistics.median(times))
        return
    program = cadmora.compile(text)
    before = peak_bytes()
    start, start_cpu = time.perf_counter(), time.process_time()
    run = program.simulate(until="1000s", max_steps=count)
    arrays = (run.cycles, run.outputs, run.addresses)
    wall, cpu = time.perf_counter() - start, time.process_time() - start_cpu
    assert all(len(array) == count for array in arrays), len(run)
    print("%.3f %.3f %.1f" % (wall, cpu, (peak_bytes() - before) / count))


main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
