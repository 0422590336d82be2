# Independent model of the generator (LCG state*134775813+1 mod 2^32) and the
# polar RandG, used to work out the seeded expectations of SizeOverlapSimsTest.
import math
seed = 0
def rnd():
    global seed
    seed = (seed * 134775813 + 1) % 2**32
    return seed / 4294967296.0
def randint(n):
    global seed
    seed = (seed * 134775813 + 1) % 2**32
    return (n * seed) >> 32
def randg(m, sd):
    while True:
        u = 2*rnd()-1; v = 2*rnd()-1; s = u*u+v*v
        if s < 1 and s != 0: break
    return u*math.sqrt(-2*math.log(s)/s)*sd+m
# data uniform, observed 2 5 9 20, N=4, seed 7
seed = 7
print("uniform", [2, 20] + [rnd()*18+2 for _ in range(2)])
# data log normal, observed 1 10 100, seed 99: mean 1, sd 1 on log10 scale
seed = 99
vals = [randg(1.0, 1.0) for _ in range(3)]
print("lognormal", [repr(v) for v in vals])
# histogram weights 1 2 1 sizes 3 5 7, N=2, seed 5: rows by running sum
seed = 5
probs=[0.25,0.5,0.25]
taken=set(); out=[]
while len(out)<2:
    u=rnd(); s=0; k=0
    while True:
        s+=probs[k]
        if s>=u or k==2: break
        k+=1
    if k in taken: continue
    taken.add(k); out.append([3,5,7][k])
print("histogram", out, "then RandomFrom index", randint(2))
