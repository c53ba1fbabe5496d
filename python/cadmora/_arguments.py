"""Python arguments checked and turned into what the library takes, with a
clear message for each kind of mistake."""

import ctypes
import math
import numbers

from . import _library as L


def integer(value, name, low, high):
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError("%s must be an integer, not %s" % (name, type(value).__name__))
    if not low <= value <= high:
        raise ValueError("%s must be from %d to %d, not %d" % (name, low, high, value))
    return int(value)


def real(value, name):
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError("%s must be a number, not %s" % (name, type(value).__name__))
    value = float(value)
    if not math.isfinite(value):
        raise ValueError("%s must be a finite number, not %r" % (name, value))
    return value


def c_text(value, name):
    if not isinstance(value, str):
        raise TypeError("%s must be a str, not %s" % (name, type(value).__name__))
    if "\0" in value:
        raise ValueError("%s holds a NUL character" % name)
    return value.encode("utf-8", "surrogateescape")


def time_ns(value, name):
    """A time as users write it ("10us", "2.5ms"), or a number of ns."""
    if isinstance(value, str):
        ns = ctypes.c_double()
        try:
            L.check(L.lib.cadmora_parse_time(c_text(value, name), ctypes.byref(ns)))
        except ValueError as error:
            raise ValueError("%s: %s" % (name, error)) from None
        return ns.value
    ns = real(value, name)
    if ns < 0:
        raise ValueError("%s must not be negative, not %r" % (name, value))
    return ns
