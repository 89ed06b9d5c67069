"""An independent model of the calculator's transcript for piped input.

Reads numbers by the console's rules, computes the stage in binary64 with
float32 fields, and prints as "%.6g" with the words for infinities and NaNs.
Used to know what a run on large generated input must write.
"""
import math
import struct

SPACE = b" \t\n\v\f\r"
MAX_FIELD = 349


def f32(x):
    if math.isnan(x):
        return x
    try:
        return struct.unpack("f", struct.pack("f", x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


def read_numbers(data, count=5):
    """The values the five reads store (None: the read stored nothing)."""
    values, pos, good = [], 0, True
    for _ in range(count):
        if not good:
            values.append(None)
            continue
        while pos < len(data) and data[pos] in SPACE:
            pos += 1
        start, digit, point, exp = pos, False, False, False
        while pos < len(data) and pos - start < MAX_FIELD:
            c = chr(data[pos])
            prev = chr(data[pos - 1]) if pos > start else ""
            if c.isdigit():
                digit = True
            elif c in "+-" and (pos == start or prev in "eE"):
                pass
            elif c == "." and not point and not exp:
                point = True
            elif c in "eE" and not exp and digit:
                exp = True
            else:
                break
            pos += 1
        # The end is noted only when the reader looked past the field.
        ended = pos == len(data) and pos - start < MAX_FIELD
        field = data[start:pos].decode("latin-1")
        if not digit:
            pos, good = start, False
            values.append(None)
            continue
        if field[-1] in "+-":
            field, pos = field[:-2], pos - 2
        elif field[-1] in "eE":
            field, pos = field[:-1], pos - 1
        try:
            value = float(field)
        except OverflowError:
            value = math.copysign(math.inf, -1.0 if field[0] == "-" else 1.0)
        values.append(f32(value))
        good = not ended
    return values


INVALID = -abs(math.nan)  # the NaN of an invalid operation: sign set


def op(f, x, y):
    if math.isnan(x):
        return x
    if math.isnan(y):
        return y
    r = f(x, y)
    return INVALID if math.isnan(r) else r


def divide(x, y):
    if y != 0:
        return x / y
    if x == 0:
        return INVALID
    return math.copysign(math.inf, x) * math.copysign(1, y)


def div(x, y):
    return op(divide, x, y)


def add(x, y):
    return op(lambda a, b: a + b, x, y)


def mul(x, y):
    return op(lambda a, b: a * b, x, y)


def db(gain):
    if math.isnan(gain):
        return gain  # log10 hands a NaN on
    if gain == 0:
        return -math.inf
    if gain < 0:
        raise ValueError("log10 of a negative gain is the C library's")
    return f32(mul(math.log10(gain), 20.0))


def stage(mu, Rp, ra, RL, Rk):
    z = div(1.0, add(div(1.0, Rp), div(1.0, RL)))
    imp = f32(z)
    gain = div(mul(z, mu), add(imp, ra))
    bypassed = (gain, db(gain), imp)
    ra_dash = add(mul(add(mu, 1.0), Rk), ra)
    z = div(1.0, add(div(1.0, RL), div(1.0, ra_dash)))
    gain = div(mul(mu, z), add(ra_dash, z))
    return bypassed, (gain, db(gain), f32(z))


def text(x):
    sign = "-" if math.copysign(1, x) < 0 else ""
    if math.isnan(x):
        return sign + "NaN"
    if math.isinf(x):
        return sign + "Infinity"
    return sign + "%.6g" % abs(x)


def results(data):
    """The six printed numbers of a run on `data`."""
    fields = [0.0 if v is None else v for v in read_numbers(data)]
    b, u = stage(*fields)
    return [text(x) for x in b + u]
