#!/usr/bin/env python3
"""Golden figures for MacroecologySimsTest.cpp (the 4 shapes x 4 corners x 2 geometries).

Written from the description of the point-pattern statistics alone, without looking at
the C++ code: run with python3 and paste the printed rows into the test. Python floats
are IEEE doubles; every height is s*x - s*x0 + y0 in that order, every slope is dy/dx
with 0 for dx == 0, comparisons are strict. Each row: geometry (0 symmetric,
1 asymmetric), shape, corner, shape count, shape sum of squares, boundary slope,
boundary count, boundary sum of squares.
"""

X = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12]
Y = [3.5, 8, 1.25, 9, 4, 6, 2, 10, 5, 7.75, 0.5]
X = [float(v) for v in X]
Y = [float(v) for v in Y]


def slope(dy, dx):
    return 0.0 if dx == 0.0 else dy / dx


def h(s, x, x0, y0):
    return s * x - s * x0 + y0


def median(v):
    v = sorted(v)
    n = len(v)
    return v[n // 2] if n % 2 else 0.5 * (v[n // 2 - 1] + v[n // 2])


minx, maxx, miny, maxy = min(X), max(X), min(Y), max(Y)
medx, medy = median(X), median(Y)
midx, midy = (minx + maxx) / 2, (miny + maxy) / 2


def one_line(s, x0, y0, below):
    c, ss = 0, 0.0
    for x, y in zip(X, Y):
        hh = h(s, x, x0, y0)
        if (y < hh) if below else (y > hh):
            c += 1
            ss += (y - hh) * (y - hh)
    return c, ss


def either(s1, s2, x0, y0):
    c, ss = 0, 0.0
    for x, y in zip(X, Y):
        h1, h2 = h(s1, x, x0, y0), h(s2, x, x0, y0)
        if y < h1 or y < h2:
            c += 1
            ss += (y - h1) * (y - h1)
    return c, ss


def both(s1, a1, s2, a2, below):
    c, ss = 0, 0.0
    for x, y in zip(X, Y):
        h1, h2 = h(s1, x, a1[0], a1[1]), h(s2, x, a2[0], a2[1])
        inside = (y < h1 and y < h2) if below else (y > h1 and y > h2)
        if inside:
            low = h1 if h1 < h2 else h2
            c += 1
            ss += (y - low) * (y - low)
    return c, ss


def shape(sym, item):
    if sym == 0:
        if item == 0:
            return one_line(slope(-(maxy - miny), maxx - minx), maxx, miny, True)
        if item == 1:
            return one_line(slope(maxy - miny, maxx - minx), minx, miny, True)
        if item == 2:
            return both(slope(miny - maxy, minx - midx), (minx, miny), slope(maxy - miny, midx - maxx), (midx, maxy), True)
        return both(slope(maxy - miny, minx - midx), (minx, maxy), slope(miny - maxy, midx - maxx), (midx, miny), False)
    if item == 0:
        return either(slope(maxy - medy, minx - medx), slope(medy - miny, medx - maxx), medx, medy)
    if item == 1:
        return either(slope(miny - medy, minx - medx), slope(medy - maxy, medx - maxx), medx, medy)
    if item == 2:
        return both(slope(miny - maxy, minx - medx), (minx, miny), slope(maxy - miny, medx - maxx), (medx, maxy), True)
    return both(slope(maxy - miny, minx - medx), (minx, maxy), slope(miny - maxy, medx - maxx), (medx, miny), False)


def boundary(sym, item):
    cx, cy = (midx, midy) if sym == 0 else (medx, medy)
    if sym == 0:
        s = [slope(maxy - miny, minx - maxx), slope(maxy - miny, maxx - minx),
             slope(maxy - miny, maxx - minx), slope(maxy - miny, minx - maxx)][item]
    else:
        s = [slope(maxy - medy, medx - maxx), slope(maxy - medy, medx - minx),
             slope(medy - miny, maxx - medx), slope(medy - miny, minx - medx)][item]
    anchor = [(cx, maxy), (minx, cy), (cx, miny), (minx, cy)][item]
    c, ss = one_line(s, anchor[0], anchor[1], below=item >= 2)
    return s, c, ss


def dispersion():
    cells = [0.0] * 4
    for x, y in zip(X, Y):
        if x == medx and y == medy:
            cells = [v + 0.25 for v in cells]
        elif x == medx:
            if y > medy:
                cells[0] += 0.5; cells[1] += 0.5
            else:
                cells[3] += 0.5; cells[2] += 0.5
        elif y == medy:
            if x < medx:
                cells[2] += 0.5; cells[1] += 0.5
            else:
                cells[0] += 0.5; cells[3] += 0.5
        elif x > medx and y > medy:
            cells[0] += 1
        elif x < medx and y > medy:
            cells[1] += 1
        elif x < medx and y < medy:
            cells[2] += 1
        else:
            cells[3] += 1
    m = sum(cells) / 4
    return cells, sum((c - m) ** 2 for c in cells) / 3


def reg_slope():
    n = len(X)
    sx, sy = sum(X), sum(Y)
    mx, my = sx / n, sy / n
    sxy = 0.0
    sxx = 0.0
    for x, y in zip(X, Y):
        sxy += (x - mx) * (y - my)
        sxx += (x - mx) * (x - mx)
    return sxy / sxx


cells, disp = dispersion()
print("// medians", medx, medy, "cells", cells, "dispersion", repr(disp), "slope", repr(reg_slope()))
for sym in (0, 1):
    for item in range(4):
        for corner in range(4):
            c, ss = shape(sym, item)
            s, bc, bss = boundary(sym, corner)
            print("    {%d, %d, %d, %d, %r, %r, %d, %r}," % (sym, item, corner, c, ss, s, bc, bss))
