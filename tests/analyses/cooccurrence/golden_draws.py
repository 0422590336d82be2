#!/usr/bin/env python3
"""Golden draw sequences for CoOccurrenceSimsGoldenTest.cpp.

Written from the description of the generator and of each null model alone, without
looking at the C++ code; run with python3 and its output pasted into the test. Matrices
are printed as one string of 0/1 per species row; "seed" is the generator state after
the routine, which pins the number of draws as well as their order.

Generator: state := (state * 134775813 + 1) mod 2^32 before every draw; Random(N) is
floor(N * state / 2^32); the real Random() is state / 2^32.
"""

M32 = 2 ** 32


class Gen:
    def __init__(self, seed):
        self.s = seed % M32

    def step(self):
        self.s = (self.s * 134775813 + 1) % M32

    def below(self, n):  # Random(N)
        self.step()
        return (n * self.s) >> 32

    def real(self):  # Random
        self.step()
        return self.s / M32


# A matrix is a dict-free list of lists m[r][c], r in 0..R-1, c in 0..C-1 (0-based
# here; the program's 1-based row r is m[r-1]).
def parse(rows):
    return [[1 if ch == "1" else 0 for ch in row] for row in rows]


def show(m):
    return "{" + ", ".join('"' + "".join(str(x) for x in row) + '"' for row in m) + "}"


def row_tot(m, r):
    return sum(m[r])


def col_tot(m, c):
    return sum(row[c] for row in m)


# --- the three cell shuffles -------------------------------------------------------

def shuffle_all(m, g):
    R, C = len(m), len(m[0])
    for r in range(R):
        for c in range(C):
            r2 = g.below(R)
            c2 = g.below(C)
            m[r][c], m[r2][c2] = m[r2][c2], m[r][c]


def shuffle_rows(m, g):
    R, C = len(m), len(m[0])
    for r in range(R):
        for c in range(C):
            c2 = g.below(C)
            m[r][c], m[r][c2] = m[r][c2], m[r][c]


def shuffle_cols(m, g):
    R, C = len(m), len(m[0])
    for c in range(C):
        for r in range(R):
            r2 = g.below(R)
            m[r][c], m[r2][c] = m[r2][c], m[r][c]


# --- weights and the weighted walk ---------------------------------------------------

def user_weights(values):
    """values[1..n]: raw weights; returns [sum, p1..pn]."""
    s = 0.0
    for v in values[1:]:
        s += v
    return [s] + [v / s for v in values[1:]]


def walk(w, u):
    """First index (from 1) whose running sum reaches u; weights of 0 never taken,
    and the last positive index when rounding leaves every sum below u."""
    run = 0.0
    last = 0
    for i in range(1, len(w)):
        run += w[i]
        if w[i] > 0:
            if run >= u:
                return i
            last = i
    return last


TRY_LIMIT = 200000  # the try counter reaching this with a full cell ends the fill


class Unable(Exception):
    pass


def place(sim, draw):
    """One presence; draw() gives (row, col) 1-based. Returns the tries used."""
    t = 1
    while True:
        r, c = draw()
        if sim[r - 1][c - 1] == 0:
            sim[r - 1][c - 1] = 1
            return t
        t += 1
        if t >= TRY_LIMIT:
            raise Unable()


def empty_like(m):
    return [[0] * len(m[0]) for _ in m]


def fill_fixed_rows_weighted_cols(obs, site, g):
    sim = empty_like(obs)
    for r in range(1, len(obs) + 1):
        for _ in range(row_tot(obs, r - 1)):
            place(sim, lambda: (r, walk(site, g.real())))
    return sim


def fill_fixed_cols_weighted_rows(obs, species, g):
    sim = empty_like(obs)
    for c in range(1, len(obs[0]) + 1):
        for _ in range(col_tot(obs, c - 1)):
            place(sim, lambda: (walk(species, g.real()), c))
    return sim


def fill_equi_rows_weighted_cols(obs, site, g):
    sim = empty_like(obs)
    R = len(obs)

    def draw():
        r = g.below(R) + 1          # the row first
        c = walk(site, g.real())    # then the column
        return r, c

    for _ in range(sum(map(sum, obs))):
        place(sim, draw)
    return sim


def fill_weighted_rows_equi_cols(obs, species, g):
    sim = empty_like(obs)
    C = len(obs[0])

    def draw():
        c = g.below(C) + 1             # the column first
        r = walk(species, g.real())    # then the row
        return r, c

    for _ in range(sum(map(sum, obs))):
        place(sim, draw)
    return sim


def fill_weighted_rows_weighted_cols(obs, species, site, g):
    sim = empty_like(obs)

    def draw():
        u1 = g.real()
        u2 = g.real()
        return walk(species, u2), walk(site, u1)

    for _ in range(sum(map(sum, obs))):
        place(sim, draw)
    return sim


# --- checkerboard swaps --------------------------------------------------------------

def swap_step(m, g):
    R, C = len(m), len(m[0])
    draws = 0
    while True:
        r1 = g.below(R) + 1
        c1 = g.below(C) + 1
        r2 = g.below(R) + 1
        c2 = g.below(C) + 1
        draws += 1
        a = m[r1 - 1][c1 - 1]
        b = m[r2 - 1][c2 - 1]
        p = m[r1 - 1][c2 - 1]
        q = m[r2 - 1][c1 - 1]
        if a * b + p * q == 1 and a + b + p + q == 2:
            m[r1 - 1][c1 - 1] = 1 - a
            m[r2 - 1][c2 - 1] = 1 - b
            m[r1 - 1][c2 - 1] = 1 - p
            m[r2 - 1][c1 - 1] = 1 - q
            return draws


def swap_count(R, C):
    return max(30000, R * C)


# --- knight's tour -------------------------------------------------------------------

def knights_tour(obs, g):
    R, C = len(obs), len(obs[0])
    sim = [[0] * C for _ in range(R)]
    rt = [0] * (R + 1)
    ct = [0] * (C + 1)
    G = sum(map(sum, obs))
    L = R * C - G
    f = 0
    total = 0
    prev = (0, 0)
    cur = (0, 0)
    while total < G:
        if f <= L:
            prev = cur
            while True:
                c = g.below(C + 1)   # column first
                r = g.below(R + 1)   # then row
                if c >= 1 and r >= 1:
                    break
            cur = (c, r)
            if ct[c] < col_tot(obs, c - 1) and rt[r] < row_tot(obs, r - 1) and sim[r - 1][c - 1] == 0:
                sim[r - 1][c - 1] = 1
                ct[c] += 1
                rt[r] += 1
                total += 1
                f = 0
            else:
                f += 1
        if f > L:
            pc, pr = prev
            if pc >= 1 and pr >= 1 and sim[pr - 1][pc - 1] == 1:
                sim[pr - 1][pc - 1] = 0
                ct[pc] -= 1
                rt[pr] -= 1
                total -= 1
            f = 0
    return sim


# --- repair of degenerate matrices (no reseeding) ---------------------------------------

def fix(m, g):
    R, C = len(m), len(m[0])
    passes = 1
    while True:
        clean = True
        for r in range(1, R + 1):
            if row_tot(m, r - 1) != 0:
                continue
            clean = False
            donor = 1
            for x in range(2, R + 1):
                if row_tot(m, x - 1) > row_tot(m, donor - 1):
                    donor = x
            while True:
                c = g.below(C) + 1
                if m[donor - 1][c - 1] == 1:
                    break
            m[donor - 1][c - 1] = 0
            c2 = g.below(C) + 1
            m[r - 1][c2 - 1] = 1
        for c in range(1, C + 1):
            if col_tot(m, c - 1) != 0:
                continue
            clean = False
            donor = 1
            for x in range(2, C + 1):
                if col_tot(m, x - 1) > col_tot(m, donor - 1):
                    donor = x
            while True:
                r = g.below(R) + 1
                if m[r - 1][donor - 1] == 1:
                    break
            m[r - 1][donor - 1] = 0
            r2 = g.below(R) + 1
            m[r2 - 1][c - 1] = 1
        passes += 1
        if clean or passes == 3000:
            return passes


# --- the cases -----------------------------------------------------------------------

OBS = ["110100", "011010", "100011", "001101", "010110"]  # 5 species x 6 sites
SITE_VALUES = [0.0, 1.0, 2.0, 3.0, 1.0, 2.0, 3.0]
SPECIES_VALUES = [0.0, 3.0, 1.0, 2.0, 1.0, 2.0]


def main():
    print("// shuffles from seed 12345, one call each")
    for name, fn in (("ShuffleAllCells", shuffle_all), ("ShuffleWithinRows", shuffle_rows),
                     ("ShuffleWithinColumns", shuffle_cols)):
        m = parse(OBS)
        g = Gen(12345)
        fn(m, g)
        print(f"{name}: {show(m)} seed {g.s}u")
        fn(m, g)
        print(f"{name} second call: {show(m)} seed {g.s}u")

    site = user_weights(SITE_VALUES)
    species = user_weights(SPECIES_VALUES)
    obs = parse(OBS)
    print("// fills from seed 777, user weights", SITE_VALUES[1:], SPECIES_VALUES[1:])
    for name, fn in (
            ("FillFixedRowsWeightedCols", lambda g: fill_fixed_rows_weighted_cols(obs, site, g)),
            ("FillFixedColsWeightedRows", lambda g: fill_fixed_cols_weighted_rows(obs, species, g)),
            ("FillEquiRowsWeightedCols", lambda g: fill_equi_rows_weighted_cols(obs, site, g)),
            ("FillWeightedRowsEquiCols", lambda g: fill_weighted_rows_equi_cols(obs, species, g)),
            ("FillWeightedRowsWeightedCols", lambda g: fill_weighted_rows_weighted_cols(obs, species, site, g))):
        g = Gen(777)
        sim = fn(g)
        print(f"{name}: {show(sim)} seed {g.s}u")

    # Proportional rows and columns through the dispatch: weights from the margins.
    prop_site = [0.0] + [float(col_tot(obs, c)) for c in range(6)]
    prop_species = [0.0] + [float(row_tot(obs, r)) for r in range(5)]
    g = Gen(2468)
    sim = fill_weighted_rows_weighted_cols(obs, user_weights(prop_species), user_weights(prop_site), g)
    print(f"Proportional x Proportional: {show(sim)} seed {g.s}u")

    print("// try limit: row total 3 with two sites of weight, seed 3")
    g = Gen(3)
    two = parse(["111", "100"])
    w = user_weights([0.0, 1.0, 1.0, 0.0])
    sim = empty_like(two)
    used = []
    try:
        for _ in range(3):
            used.append(place(sim, lambda: (1, walk(w, g.real()))))
    except Unable:
        print(f"tries of the placed presences {used}, failed after {TRY_LIMIT - 1} tries; seed {g.s}u")
        # The state after the placed presences' draws alone, to show the count.
        h = Gen(3)
        for _ in range(sum(used)):
            h.step()
        print(f"state after the placed presences: {h.s}u")

    print("// one swap step from seed 99, four in a row")
    m = parse(OBS)
    g = Gen(99)
    for k in range(4):
        d = swap_step(m, g)
        print(f"swap {k + 1} ({d} draws of four): {show(m)} seed {g.s}u")

    print("// Sequential Swap from seed 4321: burn-in of", swap_count(5, 6), "swaps, then one per call")
    m = parse(OBS)
    g = Gen(4321)
    for _ in range(swap_count(5, 6)):
        swap_step(m, g)
    print(f"sequential 1: {show(m)} seed {g.s}u")
    for k in (2, 3):
        swap_step(m, g)
        print(f"sequential {k}: {show(m)} seed {g.s}u")

    print("// Independent Swap from seed 4321:", swap_count(5, 6), "swaps per call on the same matrix")
    m = parse(OBS)
    g = Gen(4321)
    for k in (1, 2):
        for _ in range(swap_count(5, 6)):
            swap_step(m, g)
        print(f"independent {k}: {show(m)} seed {g.s}u")

    print("// knight's tour from seed 31337, two calls")
    g = Gen(31337)
    for k in (1, 2):
        sim = knights_tour(obs, g)
        print(f"knight {k}: {show(sim)} seed {g.s}u")

    print("// Fix from seed 555 (the row repair does not reseed)")
    deg = parse(["110010", "000000", "111000", "000000", "100010"])
    g = Gen(555)
    passes = fix(deg, g)
    print(f"fix: {show(deg)} seed {g.s}u passes {passes}")
    colonly = parse(["110110", "101100", "111000"])  # only site 6 empty
    g = Gen(808)
    passes = fix(colonly, g)
    print(f"fix columns only: {show(colonly)} seed {g.s}u passes {passes}")


def dispatch(obs_rows, row, col, g):
    """One simulated matrix under the row constraint (down) and the column constraint
    (across): 0 Equiprobable, 1 Fixed Sum, 2 Proportional, 3 User-Defined; fixed-fixed
    by the Sequential Swap (first call: the burn-in)."""
    m = parse(obs_rows)
    R, C = len(m), len(m[0])
    user_site = user_weights(SITE_VALUES)
    user_species = user_weights(SPECIES_VALUES)
    col_props = user_weights([0.0] + [float(col_tot(m, c)) for c in range(C)])
    row_props = user_weights([0.0] + [float(row_tot(m, r)) for r in range(R)])
    if (row, col) == (0, 0):
        shuffle_all(m, g)
        return m
    if (row, col) == (0, 1):
        shuffle_cols(m, g)
        return m
    if (row, col) == (1, 0):
        shuffle_rows(m, g)
        return m
    if (row, col) == (1, 1):
        for _ in range(swap_count(R, C)):
            swap_step(m, g)
        return m
    site = col_props if col == 2 else user_site
    species = row_props if row == 2 else user_species
    if row == 0:
        return fill_equi_rows_weighted_cols(m, site, g)
    if row == 1:
        return fill_fixed_rows_weighted_cols(m, site, g)
    if col == 0:
        return fill_weighted_rows_equi_cols(m, species, g)
    if col == 1:
        return fill_fixed_cols_weighted_rows(m, species, g)
    return fill_weighted_rows_weighted_cols(m, species, site, g)


def every_model():
    print("// every row x column constraint, one call from seed 1357 on the observed matrix")
    for row in range(4):
        for col in range(4):
            g = Gen(1357)
            sim = dispatch(OBS, row, col, g)
            print(f"  {{{row}, {col}, {show(sim)}, {g.s}u}},")


def cscore(m):
    """Mean over species pairs of (ri - S)(rj - S)."""
    R, C = len(m), len(m[0])
    vals = []
    for i in range(R):
        for j in range(i + 1, R):
            S = sum(1 for c in range(C) if m[i][c] and m[j][c])
            vals.append((sum(m[i]) - S) * (sum(m[j]) - S))
    return sum(vals) / len(vals)


def window_run():
    """CoOccurrenceMainTest: the hand matrix, default options (C-score, Sequential
    Swap), 120 iterations, seeds 5 and 6: the mean of the simulated indices."""
    hand = ["1010", "0110", "1101"]
    for seed in (5, 6):
        g = Gen(seed)
        m = parse(hand)
        sims = []
        for k in range(120):
            for _ in range(swap_count(3, 4) if k == 0 else 1):
                swap_step(m, g)
            sims.append(cscore(m))
        print(f"window run, seed {seed}: mean of simulated indices {sum(sims) / len(sims):.5f}")


if __name__ == "__main__":
    main()
    every_model()
    window_run()
