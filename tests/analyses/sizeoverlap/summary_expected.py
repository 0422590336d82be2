# Works out, independently of the program, the summary of the seeded size overlap run
# used by SizeOverlapMainTest (SummaryLineByLine): sizes 2 5 0 9 20 of column "mass",
# data-defined uniform pool, no rounding, no transformation, minimum segment length,
# 3 iterations, seed 7. Prints the summary lines.
import math
seed = 7
def rnd():
    global seed
    seed = (seed * 134775813 + 1) % 2**32
    return seed / 4294967296.0
def F(v):
    s = "%.5f" % v
    return "0.00000" if s == "-0.00000" else s
obs_line = sorted([2, 5, 9, 20])
def minseg(line):
    return min(line[k+1] - line[k] for k in range(len(line) - 1))
observed = minseg(obs_line)
sims = []
for i in range(3):
    line = [2, 20] + [rnd() * 18 + 2 for _ in range(2)]
    line.sort()
    sims.append(minseg(line))
n = len(sims)
mean = sum(sims) / n
var = sum((x - mean) ** 2 for x in sims) / (n - 1)
low = sum(1 for s in sims if s <= observed or abs(s - observed) < 1e-15) / n
high = sum(1 for s in sims if s >= observed or abs(s - observed) < 1e-15) / n
less = sum(1 for s in sims if observed < s and abs(s - observed) >= 1e-15)
equal = sum(1 for s in sims if abs(s - observed) < 1e-15)
greater = n - less - equal
ses = (observed - mean) / math.sqrt(var) if var > 0 else 0.0
srt = sorted(sims)
w = (srt[-1] - srt[0]) / 12
e = [srt[0]]
for k in range(12): e.append(e[-1] + w)
counts = [0] * 12
for v in srt:
    k = 11
    for j in range(11):
        if v < e[j + 1]: k = j; break
    counts[k] += 1
lines = ["Input file = <file>", "Iterations = 3", "Random seed = 7", "Column analyzed:  mass",
         "Metric = Minimum segment length.", "None (size differences)", "Parametric distributions",
         "Uniform", "Minimum = " + F(2) + "  Maximum = " + F(20), "Data-defined", "", "_" * 46, "",
         "Observed index = " + F(observed), "Mean of simulated index = " + F(mean),
         "Variance of simulated index = " + F(var), "p(observed >= expected) = " + F(high),
         "p(observed <= expected) = " + F(low), "",
         "Number of times Observed index < simulated indices = %d" % less,
         "Number of times Observed index = simulated indices = %d" % equal,
         "Number of times Observed index > simulated indices = %d" % greater,
         "Standardized Effect Size = " + F(ses), "", "Simulation frequencies:", "Histogram          # Simulations",
         "  "]
for k in range(12): lines.append(F(e[k]) + " " + F(e[k + 1]) + "  " + str(counts[k]))
lines += ["  ", "_" * 46, "", "INPUT MATRIX", "", "species mass ", "A 2 ", "B 5 ", "C 0 ", "D 9 ", "E 20 "]
for l in lines: print(repr(l))
print("sims", sims)
