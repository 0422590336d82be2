#!/usr/bin/env python3
"""Expected summaries of two seeded macroecology runs for MacroecologyMainTest.cpp.

Written from the definitions alone (generator, null models, point-pattern statistics,
mean and variance, tail counts, the 12-bin histogram and the number text), without the
C++ code; run with python3 and paste the printed lines into the test. All sums are
explicit left-to-right loops of IEEE doubles.
"""
from decimal import Decimal, ROUND_HALF_UP
import math

M32 = 2 ** 32


class Gen:
    def __init__(self, s):
        self.s = s

    def step(self):
        self.s = (self.s * 134775813 + 1) % M32

    def below(self, n):
        self.step()
        return (n * self.s) >> 32

    def real(self):
        self.step()
        return self.s / M32


def F(v):
    """Fixed notation, 7 significant digits or 5 decimals, whichever comes first."""
    if v == 0:
        return "0.00000"
    d = Decimal(v)
    ip = len(str(int(abs(d)))) if abs(d) >= 1 else 0
    dec = 5 if ip <= 2 else 7 - ip
    q = d.quantize(Decimal(1).scaleb(-dec), rounding=ROUND_HALF_UP)
    s = format(q, "f")
    if "." not in s:
        s += "."
    s = s + "0" * (5 - len(s.split(".")[1]))
    if s.startswith("-") and float(q) == 0:
        s = s[1:]
    return s


def fsum(v):
    t = 0.0
    for x in v:
        t += x
    return t


def meanvar(v):
    n = len(v)
    m = fsum(v) / n
    ss = 0.0
    for x in v:
        ss += (x - m) * (x - m)
    if ss == 0 or n < 2:
        return m, 0.0
    var = ss / (n - 1)
    return m, (0.0 if abs(var) < 1e-17 else var)


def tails(sims, obs):
    less = eq = gr = 0
    for s in sims:
        if abs(obs - s) < 1e-15:
            eq += 1
        elif obs < s:
            less += 1
        else:
            gr += 1
    n = len(sims)
    return (gr + eq) / n, (less + eq) / n, less, eq, gr


def histogram(sims, obs):
    v = sorted(sims)
    lo, hi = min(v[0], v[-1]), max(v[0], v[-1])
    w = (hi - lo) / 12
    e = [lo]
    for k in range(12):
        e.append(e[k] + w)
    c = [0] * 12
    for x in v:
        if x < e[1]:
            c[0] += 1
        elif x >= e[11]:
            c[11] += 1
        else:
            for k in range(1, 11):
                if e[k] <= x < e[k + 1]:
                    c[k] += 1
                    break
    if obs < e[0]:
        p = 0
    elif obs <= e[1]:
        p = 1
    elif obs > e[12]:
        p = 13
    else:
        p = next(k for k in range(2, 13) if e[k - 1] < obs <= e[k])
    lines = ["  "] + ["%s %s  %d" % (F(e[k]), F(e[k + 1]), c[k]) for k in range(12)]
    return lines, p


def slope(dy, dx):
    return 0.0 if dx == 0.0 else dy / dx


def h(s, x, x0, y0):
    return s * x - s * x0 + y0


def med(sorted_v):
    n = len(sorted_v)
    return sorted_v[n // 2] if n % 2 else 0.5 * (sorted_v[n // 2 - 1] + sorted_v[n // 2])


def stats(X, Y, b, SX, SY, sym, pattern, corner):
    minx, maxx, miny, maxy = b
    medx, medy = med(SX), med(SY)
    # dispersion
    cells = [0.0] * 4
    for x, y in zip(X, Y):
        if x == medx and y == medy:
            cells = [c + 0.25 for c in cells]
        elif x == medx:
            if y > medy:
                cells[0] += .5; cells[1] += .5
            else:
                cells[3] += .5; cells[2] += .5
        elif y == medy:
            if x < medx:
                cells[2] += .5; cells[1] += .5
            else:
                cells[0] += .5; cells[3] += .5
        elif y > medy:
            cells[0 if x > medx else 1] += 1
        else:
            cells[2 if x < medx else 3] += 1
    disp = meanvar(cells)[1]

    def one(s, x0, y0, below):
        c, ss = 0, 0.0
        for x, y in zip(X, Y):
            hh = h(s, x, x0, y0)
            if (y < hh) if below else (y > hh):
                c += 1; ss += (y - hh) * (y - hh)
        return c, ss

    def either(s1, s2, x0, y0):
        c, ss = 0, 0.0
        for x, y in zip(X, Y):
            h1, h2 = h(s1, x, x0, y0), h(s2, x, x0, y0)
            if y < h1 or y < h2:
                c += 1; ss += (y - h1) * (y - h1)
        return c, ss

    def both(s1, a1, s2, a2, below):
        c, ss = 0, 0.0
        for x, y in zip(X, Y):
            h1, h2 = h(s1, x, *a1), h(s2, x, *a2)
            if (y < h1 and y < h2) if below else (y > h1 and y > h2):
                lo = h1 if h1 < h2 else h2
                c += 1; ss += (y - lo) * (y - lo)
        return c, ss

    if sym == 0:
        midx, midy = (minx + maxx) / 2, (miny + maxy) / 2
        shape = [lambda: one(slope(-(maxy - miny), maxx - minx), maxx, miny, True),
                 lambda: one(slope(maxy - miny, maxx - minx), minx, miny, True),
                 lambda: both(slope(miny - maxy, minx - midx), (minx, miny), slope(maxy - miny, midx - maxx), (midx, maxy), True),
                 lambda: both(slope(maxy - miny, minx - midx), (minx, maxy), slope(miny - maxy, midx - maxx), (midx, miny), False)][pattern]()
        cx, cy = midx, midy
        bs = [slope(maxy - miny, minx - maxx), slope(maxy - miny, maxx - minx),
              slope(maxy - miny, maxx - minx), slope(maxy - miny, minx - maxx)][corner]
    else:
        shape = [lambda: either(slope(maxy - medy, minx - medx), slope(medy - miny, medx - maxx), medx, medy),
                 lambda: either(slope(miny - medy, minx - medx), slope(medy - maxy, medx - maxx), medx, medy),
                 lambda: both(slope(miny - maxy, minx - medx), (minx, miny), slope(maxy - miny, medx - maxx), (medx, maxy), True),
                 lambda: both(slope(maxy - miny, minx - medx), (minx, maxy), slope(miny - maxy, medx - maxx), (medx, miny), False)][pattern]()
        cx, cy = medx, medy
        bs = [slope(maxy - medy, medx - maxx), slope(maxy - medy, medx - minx),
              slope(medy - miny, maxx - medx), slope(medy - miny, minx - medx)][corner]
    anchor = [(cx, maxy), (minx, cy), (cx, miny), (minx, cy)][corner]
    bc, bss = one(bs, anchor[0], anchor[1], corner >= 2)
    n = len(X)
    sx, sy = fsum(X), fsum(Y)
    mx, my = sx / n, sy / n
    sxy = sxx = 0.0
    for x, y in zip(X, Y):
        sxy += (x - mx) * (y - my)
        sxx += (x - mx) * (x - mx)
    sl = sxy / sxx if sxx > 0 else 0.0
    return dict(count=shape[0], ss=shape[1], disp=disp, slope=sl, bslope=bs, bcount=bc, bss=bss)


def run(X, Y, seed, iters, model, sym, pattern, corner, ends=None):
    X, Y = list(X), list(Y)
    SX, SY = sorted(X), sorted(Y)
    b = (SX[0], SX[-1], SY[0], SY[-1])
    obs = stats(X, Y, b, SX, SY, sym, pattern, corner)
    g = Gen(seed)
    sims = {k: [] for k in obs}
    for i in range(iters):
        if model == 0:
            n = len(Y)
            for k in range(n):
                j = g.below(n)
                Y[k], Y[j] = Y[j], Y[k]
            b = (SX[0], SX[-1], SY[0], SY[-1])
        else:
            mnx, mxx, mny, mxy = ends
            for k in range(len(Y)):
                Y[k] = g.real() * (mxy - mny) + mny
                X[k] = g.real() * (mxx - mnx) + mnx
            b = ends
        s = stats(X, Y, b, SX, SY, sym, pattern, corner)
        for k in s:
            sims[k].append(float(s[k]))
    return obs, sims, X, Y


def block(heading, obs, sims, labels, noun):
    m, v = meanvar(sims)
    plow, phigh, less, eq, gr = tails(sims, obs)
    ses = (obs - m) / math.sqrt(v) if v > 0 else 0.0
    hist, p = histogram(sims, obs)
    out = [heading, labels[0] + F(obs), labels[1] + F(m), labels[2] + F(v), "",
           "Number of times observed %s < simulated %s = %d" % (noun[0], noun[1], less),
           "Number of times observed %s = simulated %s = %d" % (noun[0], noun[1], eq),
           "Number of times observed %s > simulated %s = %d" % (noun[0], noun[1], gr),
           "Standardized Effect Size = " + F(ses), "p(observed <= expected) = " + F(plow),
           "p(observed >= expected) = " + F(phigh), "", "Simulation frequencies:",
           "Histogram          # Simulations"] + hist + ["_" * 46, ""]
    return out, (F(ses), F(plow), F(phigh)), p


def summary(obs, sims):
    lines = []
    sections = [("DISPERSION", "disp", ("Observed dispersion = ", "Mean of simulated dispersions = ", "Variance of simulated dispersions = "), ("dispersion", "dispersions")),
                ("REGRESSION SLOPE", "slope", ("Observed slope = ", "Mean of simulated slopes = ", "Variance of simulated slopes = "), ("slope", "slopes")),
                ("SHAPE # OF POINTS", "count", ("Observed Points within space = ", "Mean of simulated # of points = ", "Variance of simulated # of points = "), ("# of points", "# of points")),
                ("SHAPE SUM OF SQUARES", "ss", ("Observed Sum of Squares = ", "Mean of simulated ss = ", "Variance of simulated ss = "), ("ss", "ss")),
                ("BOUNDARY # OF POINTS", "bcount", ("Observed Points within space = ", "Mean of simulated # of points = ", "Variance of simulated # of points = "), ("# of points", "# of points")),
                ("BOUNDARY SUM OF SQUARES", "bss", ("Observed Sum of Squares = ", "Mean of simulated ss = ", "Variance of simulated ss = "), ("ss", "ss"))]
    batch = None
    for head, key, labels, noun in sections:
        out, row, p = block(head, float(obs[key]), sims[key], labels, noun)
        lines += out
        if key == "count":
            batch = row
    return lines, batch


def show(name, lines, batch, X, Y):
    print("// " + name)
    for l in lines:
        print('      "%s",' % l)
    print("// batch row", batch)
    print("// last simulated X", [F(v) for v in X])
    print("// last simulated Y", [F(v) for v in Y])


# The test's grid: columns x, y, z.
x = [1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0]
y = [3.5, 8.0, 1.25, 9.0, 4.0, 6.0, 2.0]
z = [2.0, 9.0, 4.0, 1.0, 7.0, 3.0, 5.0]

# A: X = x, Y = y; seed 7, 10 iterations, data-defined, asymmetric, right triangle,
# lower right.
obs, sims, X, Y = run(x, y, 7, 10, 0, 1, 1, 2)
lines, batch = summary(obs, sims)
show("A", lines, batch, X, Y)
print("// A observed", obs)
# B: X = z, Y = y; seed 11, 12 iterations, uniform between (0.5, 10) x (1, 10),
# symmetric, pyramid, upper left.
obs, sims, X, Y = run(z, y, 11, 12, 1, 0, 2, 1, ends=(0.5, 10.0, 1.0, 10.0))
lines, batch = summary(obs, sims)
show("B", lines, batch, X, Y)
print("// B observed", obs, "mean slope", F(meanvar(sims["slope"])[0]))
