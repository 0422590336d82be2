#!/usr/bin/env python3
# Golden draws for MacroecologySimsTest.cpp, written from the generator's definition alone;
# run with python3 and paste the output.
# Uniform and normal draws of the macroecology null models from the generator's
# definition (state*134775813+1 mod 2^32; real = state/2^32; polar normal, u first).
import math
M=2**32
class G:
    def __init__(s,seed): s.s=seed
    def real(s):
        s.s=(s.s*134775813+1)%M; return s.s/M
    def randg(s,m,sd):
        while True:
            u=2*s.real()-1; v=2*s.real()-1; q=u*u+v*v
            if q<1 and q!=0: return u*math.sqrt(-2*math.log(q)/q)*sd+m
g=G(5); X=[];Y=[]
for i in range(3):
    Y.append(g.real()*(20.0-10.0)+10.0); X.append(g.real()*(3.0-1.0)+1.0)
print("uniform X",[repr(v) for v in X],"Y",[repr(v) for v in Y],"state",g.s)
g=G(9); X=[];Y=[]
for i in range(2):
    while True:
        y=g.randg(1.0,2.0)
        if y>0: break
    while True:
        x=g.randg(0.5,1.0)
        if x>0: break
    Y.append(y);X.append(x)
print("normal X",[repr(v) for v in X],"Y",[repr(v) for v in Y],"state",g.s)
