# Generates resources/about.jpg (needs ImageMagick):
#   python3 about_picture.py > draw.mvg
#   convert -size 360x220 gradient:"#0d1b3a"-"#d9804a" -draw "$(cat draw.mvg)" -quality 88 -strip about.jpg
# Draws the About box picture: a presence-absence matrix of coloured dots over a
# dusk gradient, with a rolling hill line. Emits ImageMagick draw primitives.
import math, random
random.seed(21605)
W, H = 360, 220
prims = []
# hills
for layer, (col, base, amp, freq) in enumerate([("#2e5e4e", 150, 18, 0.021), ("#1f4438", 175, 14, 0.034)]):
    pts = [(0, H)]
    for x in range(0, W + 1, 6):
        y = base + amp * math.sin(x * freq + layer) + 6 * math.sin(x * freq * 3.1)
        pts.append((x, y))
    pts.append((W, H))
    prims.append("fill '%s' polygon %s" % (col, " ".join("%d,%d" % (int(x), int(y)) for x, y in pts)))
# matrix of dots: 10 species x 16 sites
for r in range(8):
    for c in range(16):
        x = 28 + c * 20
        y = 22 + r * 16
        p = 0.25 + 0.6 * math.exp(-((c - 7.5) ** 2) / 30 - ((r - 3.5) ** 2) / 12)
        if random.random() < p:
            hue = (150 + r * 14) % 360
            g = int(160 + 90 * (r / 7))
            prims.append("fill 'rgb(%d,%d,%d)' circle %d,%d %d,%d" % (250 - r * 12, g, 120 + r * 10, x, y, x + 5, y))
        else:
            prims.append("fill 'rgba(255,255,255,0.18)' circle %d,%d %d,%d" % (x, y, x + 2, y))
print("\n".join(prims))
