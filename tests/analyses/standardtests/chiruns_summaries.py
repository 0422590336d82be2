# Independent computation of the figures of the chi-square and runs-test window tests
# (ChiSquareMainTest.cpp, RunsTestMainTest.cpp): the generator, the null models, then
# mean, variance, tail counts, effect size, the 12-bin histogram and the number text,
# each written from its definition. Run: python3 chiruns_summaries.py
import math

class Gen:
    def __init__(self, seed): self.s = seed & 0xFFFFFFFF
    def step(self): self.s = (self.s * 134775813 + 1) & 0xFFFFFFFF
    def int(self, n): self.step(); return (n * self.s) >> 32
    def real(self): self.step(); return self.s / 4294967296.0

def F(v):
    assert abs(v) < 100
    t = "%.5f" % v
    return "0.00000" if t == "-0.00000" else t

def stats(obs, sims):
    n = len(sims)
    mean = sum(sims) / n
    ss = sum((x - mean) ** 2 for x in sims)
    var = 0.0 if ss == 0 else ss / (n - 1)
    if abs(var) < 1e-17: var = 0.0
    less = sum(1 for s in sims if s - obs > 1e-15)
    greater = sum(1 for s in sims if obs - s > 1e-15)
    equal = n - less - greater
    ses = (obs - mean) / math.sqrt(var) if var > 0 else 0.0
    srt = sorted(sims)
    lo, hi = srt[0], srt[-1]
    w = (hi - lo) / 12
    e = [lo]
    for k in range(12): e.append(e[-1] + w)
    counts = [0] * 12
    for v in srt:
        if v < e[1]: counts[0] += 1
        elif v >= e[11]: counts[11] += 1
        else:
            for k in range(1, 11):
                if e[k] <= v < e[k + 1]: counts[k] += 1; break
    if obs < e[0]: p = 0
    elif obs <= e[1]: p = 1
    elif obs > e[12]: p = 13
    else: p = next(k for k in range(2, 13) if e[k - 1] < obs <= e[k])
    hist = ["  "] + ["%s %s  %d" % (F(e[k]), F(e[k + 1]), counts[k]) for k in range(12)] + ["  "]
    return dict(mean=F(mean), var=F(var), plow=F((greater + equal) / n), phigh=F((less + equal) / n),
                less=less, equal=equal, greater=greater, ses=F(ses), hist=hist, marker=p)

def cum(p):
    out, s = [], 0.0
    for v in p: s += v; out.append(s)
    return out

def reach(c, u):
    for i, v in enumerate(c):
        if v >= u: return i
    return len(c) - 1

# --- chi-square: rows r1 10 20 / r2 30 40, "randomize matrix", seed 11, 12 iterations
t = [[10, 20], [30, 40]]  # rows x cols
E = [[12.0, 18.0], [28.0, 42.0]]
def chi(m): return sum((m[r][c] - E[r][c]) ** 2 / E[r][c] for r in range(2) for c in range(2))
obs = chi(t)
rp = [30 / 100, 70 / 100]; cp = [40 / 100, 60 / 100]
g = Gen(11); sims = []
for i in range(12):
    m = [[0, 0], [0, 0]]
    for _ in range(100):
        u1 = g.real(); u2 = g.real()
        m[reach(cum(rp), u2)][reach(cum(cp), u1)] += 1
    sims.append(chi(m))
print("CHI observed", F(obs), "last", m)
s = stats(obs, sims)
for k in ["mean", "var", "plow", "phigh", "less", "equal", "greater", "ses", "marker"]: print(k, s[k])
for h in s["hist"]: print(repr(h))

# --- runs test: X 5 1 3 2 4 3, Y 1 0 2 1 0 1; equiprobable without replacement,
# linear, seed 11, 10 iterations
X = [5, 1, 3, 2, 4, 3]; Y = [1, 0, 2, 1, 0, 1]
order = sorted(range(6), key=lambda i: (X[i], i))
sx = [float(X[i]) for i in order]; seq = [Y[i] for i in order]
print("order", order, "seq", seq)
def runstats(seq):
    longest = cur = 0; occ = []
    for p, v in enumerate(seq):
        if v < 1: cur = 0; continue
        cur += 1; longest = max(longest, cur); occ.append(sx[p])
    n = len(occ); mean = sum(occ) / n; ss = sum((x - mean) ** 2 for x in occ)
    var = 0.0 if ss == 0 else ss / (n - 1)
    return longest, mean, var
o = runstats(seq)
print("RUNS observed", o)
g = Gen(11); L = []; M = []; V = []
for i in range(10):
    for p in range(6):
        j = g.int(6); seq[p], seq[j] = seq[j], seq[p]
    l, m, v = runstats(seq); L.append(float(l)); M.append(m); V.append(v)
print("last seq", seq)
for name, ob, sim in [("LONGEST", float(o[0]), L), ("MEAN", o[1], M), ("VARIANCE", o[2], V)]:
    s = stats(ob, sim)
    print(name, F(ob), [s[k] for k in ["mean", "var", "less", "equal", "greater", "ses", "plow", "phigh", "marker"]])
    for h in s["hist"][:13]: print("  ", repr(h))
