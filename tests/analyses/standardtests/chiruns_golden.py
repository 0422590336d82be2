# Independent transcription of the generator and of the chi-square and runs-test null
# models, used to make the seeded-replay figures of ChiSquareEngineTest.cpp and
# RunsTestSimsTest.cpp. Run: python3 chiruns_golden.py
import bisect

class Gen:
    def __init__(self, seed): self.s = seed & 0xFFFFFFFF
    def step(self): self.s = (self.s * 134775813 + 1) & 0xFFFFFFFF
    def int(self, n): self.step(); return (n * self.s) >> 32
    def real(self): self.step(); return self.s / 4294967296.0

def cum(p):
    out, s = [], 0.0
    for v in p: s += v; out.append(s)
    return out

def walk_reach(c, u):  # first cumulative >= u, else last
    for i, v in enumerate(c):
        if v >= u: return i
    return len(c) - 1

def walk_exceed(c, u):  # first cumulative > u, else last
    for i, v in enumerate(c):
        if v > u: return i
    return len(c) - 1

# chi-square: counts[c][r]
counts = [[3, 1], [2, 4], [0, 5]]
K, R = 3, 2
rowt = [sum(counts[c][r] for c in range(K)) for r in range(R)]
colt = [sum(counts[c]) for c in range(K)]
rp = [t / sum(rowt) for t in rowt]; cp = [t / sum(colt) for t in colt]
g = Gen(12345)
m = [[0] * R for _ in range(K)]
for _ in range(sum(colt)):
    u1 = g.real(); u2 = g.real()
    m[walk_reach(cum(cp), u1)][walk_reach(cum(rp), u2)] += 1
print("matrix", m)
g = Gen(12345)
m = [[0] * R for _ in range(K)]
for c in range(K):
    for _ in range(colt[c]): m[c][g.int(R)] += 1
print("columns", m)
g = Gen(12345)
m = [[0] * R for _ in range(K)]
for r in range(R):
    for _ in range(rowt[r]): m[g.int(K)][r] += 1
print("rows", m)
# expected of a 3 x 4 table and its chi-square with the expected as shown: 7 significant
# digits written with 7 decimals
t = [[12, 5, 7, 1], [3, 9, 4, 8], [6, 2, 11, 10]]  # rows x cols
rt = [sum(r) for r in t]; ct = [sum(t[r][c] for r in range(3)) for c in range(4)]; gt = float(sum(ct))
e = [[rt[r] * ct[c] / gt for c in range(4)] for r in range(3)]
print("expected", ["%.7f" % v for row in e for v in row])
er = [[float("%.7g" % v) for v in row] for row in e]
print("shown", ["%.7f" % v for row in er for v in row])
chi = 0.0
for c in range(4):
    for r in range(3): chi += (t[r][c] - er[r][c]) ** 2 / er[r][c]
print("chi3x4 %.10f" % chi)

# runs test
seq0 = [1, 0, 2, 0, 1, 1, 0, 0]
N = len(seq0)
x = [float(i + 1) for i in range(N)]
props = [v / sum(x) for v in x]; pc = cum(props)
g = Gen(99); s = seq0[:]
for it in range(2):
    for p in range(N):
        j = g.int(N); s[p], s[j] = s[j], s[p]
    print("equi", it, s)
g = Gen(99)
for it in range(2):
    s = [0] * N
    for _ in range(5): s[g.int(N)] += 1
    print("equi_repl", it, s)
g = Gen(99)
for it in range(2):
    s = [0] * N
    for _ in range(4):
        while True:
            pos = walk_exceed(pc, g.real())
            if s[pos] == 0: break
        s[pos] = 1
    print("prop", it, s)
g = Gen(99)
for it in range(2):
    s = [0] * N
    for _ in range(5): s[walk_exceed(pc, g.real())] += 1
    print("prop_repl", it, s)
er[0][0] = 10.0
chi = 0.0
for c in range(4):
    for r in range(3): chi += (t[r][c] - er[r][c]) ** 2 / er[r][c]
print("chi3x4 edited %.10f" % chi)
