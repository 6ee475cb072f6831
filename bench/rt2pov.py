#!/usr/bin/env python3
"""Translate a KORU scene (.RT) into a POV-Ray 3.7 scene, for speed comparisons.

    bench/rt2pov.py SCENE.RT > SCENE.pov

The POV-Ray scene has the same camera, lights, primitives, groups, surfaces
and patterns, and traces the same rays: one per dot, a shadow ray per light,
a mirror ray on surf 2, a reflected and a refracted ray on glass, down to the
scene's depth. Render it at the scene's size with one ray per dot:

    povray +ISCENE.pov +OOUT.png +W1024 +H768 -A -D File_Gamma=1.0

Shading follows KORU's terms (ambient ka, diffuse kd, a Blinn highlight of
exponent npow, ks of the mirror ray); glass is POV-Ray's Fresnel glass, so
its light differs in detail. Ellipsoids become scaled spheres and the other
quadrics and cones POV-Ray quadrics; a group is an intersection, a member of
sense <= 0 is taken inverse.
"""

import math
import sys


class Tokens:
    def __init__(self, text):
        self.words = text.split()
        self.i = 0

    def num(self):
        if self.i >= len(self.words):
            raise ValueError("the scene ends early")
        w = self.words[self.i]
        self.i += 1
        return float(w)

    def int(self):
        return int(self.num())

    def vec(self):
        return (self.num(), self.num(), self.num())

    def more(self):
        return self.i < len(self.words)


def read_scene(text):
    t = Tokens(text)
    s = {}
    s["look"] = t.vec()
    s["vpn"] = t.vec()
    s["dlength"] = t.num()
    s["wdu"] = t.num()
    s["w"], s["h"] = t.int(), t.int()
    s["lights"] = [(t.vec(), t.num()) for _ in range(max(t.int(), 0))]
    s["depth"] = t.int()
    prims = []
    while True:
        typ = t.int()
        if typ < 0:
            break
        p = {"type": typ, "surf": t.int(), "ka": t.num(), "kd": t.num(), "ks": t.num()}
        t.int()  # spare
        p["npow"] = t.int()
        p["refr"] = t.num()
        p["trans"] = t.num()
        p["pat"] = t.int()
        p["patw"] = t.num()
        p["sense"] = t.int()
        p["geom"] = t.vec()
        p["pos"] = t.vec()
        p["col"] = (t.int(), t.int(), t.int())
        prims.append(p)
    groups = []
    while t.more():
        first = t.int()
        if first < 0:
            break
        members = [first]
        while True:
            m = t.int()
            if m < 0:
                break
            members.append(m)
        groups.append([m - 1 for m in members if 1 <= m <= len(prims)])
    s["prims"] = prims
    s["groups"] = [g for g in groups if g]
    return s


def f(x):
    """A number as POV-Ray reads it, short and exact enough."""
    if x == int(x) and abs(x) < 1e15:
        return str(int(x))
    return "%.10g" % x


def v(a):
    return "<%s, %s, %s>" % tuple(f(x) for x in a)


def unit(a):
    n = math.sqrt(sum(x * x for x in a))
    return tuple(x / n for x in a)


def camera(s):
    look, dl, wdu, w, h = s["look"], s["dlength"], s["wdu"], s["w"], s["h"]
    vx, vy, vz = unit(s["vpn"])
    eye = tuple(look[i] + dl * (vx, vy, vz)[i] for i in range(3))
    l = math.sqrt(vx * vx + vy * vy)
    if l == 0:
        u = (math.copysign(1.0, vz) if vz else 0.0, 0.0, 0.0)
        up = (0.0, 1.0, 0.0)
    else:
        u = (-vy / l, vx / l, 0.0)
        up = (-vz * u[1], vz * u[0], l)
    # POV-Ray's ray for a dot: direction + sx * right + sy * up, sx and sy
    # -0.5..0.5 at the dot's centre; KORU's passes through the dot's top-left
    # corner, which the direction takes half a dot to the left and up.
    # (POV-Ray then warns that the camera's vectors are not perpendicular.)
    right = tuple(wdu * x for x in u)
    upv = tuple(wdu * h / w * x for x in up)
    direction = tuple(look[i] - eye[i] - 0.5 / w * right[i] + 0.5 / h * upv[i]
                      for i in range(3))
    return ("camera {\n  perspective\n  location %s\n  direction %s\n"
            "  right %s\n  up %s\n}\n" % (v(eye), v(direction), v(right), v(upv)))


def rgb(c):
    return "rgb %s" % v(tuple(x / 255 for x in c))


def second_colour(c):
    return (min(c[0] + 128, 255), c[1] // 2, c[2] // 2)


def inverse_3x3(m):
    (a, b, c), (d, e, g), (h, i, k) = m
    det = a * (e * k - g * i) - b * (d * k - g * h) + c * (d * i - e * h)
    return [[(e * k - g * i) / det, (c * i - b * k) / det, (b * g - c * e) / det],
            [(g * h - d * k) / det, (a * k - c * h) / det, (c * d - a * g) / det],
            [(d * i - e * h) / det, (b * h - a * i) / det, (a * e - b * d) / det]]


def pigment(p):
    """KORU's patterns in world coordinates: a cell of width w is the base
    colour when its number is even, the second colour when odd."""
    base, alt = p["col"], second_colour(p["col"])
    w = p["patw"]
    transmit = " transmit %s" % f(p["trans"]) if p["surf"] == 3 else ""
    plain = "pigment { %s%s }" % (rgb(base), transmit)
    if p["pat"] not in (1, 2, 3) or w == 0:
        return plain
    cmap = "color_map { [0.5 %s%s] [0.5 %s%s] }" % (rgb(base), transmit, rgb(alt), transmit)
    if p["pat"] == 1:
        # odd cell of x / w differs from that of y / w; z left out by a
        # cell far taller than the scene (-1: an odd one)
        return ("pigment { checker %s%s, %s%s scale <%s, %s, 1e6> translate <0, 0, 5e5> }"
                % (rgb(alt), transmit, rgb(base), transmit, f(w), f(w)))
    if p["pat"] == 2:
        # cells of y / w: a gradient of period 2w, its first half even
        return "pigment { gradient y %s scale %s }" % (cmap, f(2 * w))
    # cells of (x + y + z) / 3w: a gradient along x of pattern space, the
    # pattern's x being (x + y + z) / 6w in the world
    m = inverse_3x3([[1 / (6 * w), 0, 0], [1 / (6 * w), 1, 0], [1 / (6 * w), 0, 1]])
    rows = [m[0], m[1], m[2], [0, 0, 0]]
    return ("pigment { gradient x %s matrix <%s> }"
            % (cmap, ", ".join(f(x) for row in rows for x in row)))


def finish(p):
    parts = ["ambient %s" % f(p["ka"]), "diffuse %s" % f(p["kd"])]
    if p["ks"] != 0 and p["npow"] > 0:
        parts.append("specular %s roughness %s" % (f(p["ks"]), f(1 / p["npow"])))
    if p["surf"] == 2 and p["ks"] != 0:
        parts.append("reflection { %s }" % f(p["ks"]))
    if p["surf"] == 3:
        parts.append("reflection { %s, 1 fresnel on }" % f(p["ks"]))
    return "finish { %s }" % " ".join(parts)


def shape(p):
    """The primitive's surface; its solid is POV-Ray's inside."""
    t, g, pos = p["type"], p["geom"], p["pos"]
    if t == 1:
        return "plane { %s, 0 translate %s" % (v(g), v(pos))
    if t == 2:
        lo = tuple(pos[i] - abs(g[i]) for i in range(3))
        hi = tuple(pos[i] + abs(g[i]) for i in range(3))
        return "box { %s, %s" % (v(lo), v(hi))
    if t == 3 and all(x > 0 for x in g):
        if g[0] == g[1] == g[2]:
            return "sphere { %s, %s" % (v(pos), f(g[0]))
        return "sphere { 0, 1 scale %s translate %s" % (v(g), v(pos))
    # sgn(a) X^2 / a^2 + ... = 1 (quadric) or 0 (cone), X relative to pos
    k = [0.0 if a == 0 else math.copysign(1.0, a) / (a * a) for a in g]
    lin = tuple(-2 * k[i] * pos[i] for i in range(3))
    const = sum(k[i] * pos[i] * pos[i] for i in range(3)) - (1 if t == 3 else 0)
    return "quadric { %s, <0, 0, 0>, %s, %s" % (v(k), v(lin), f(const))


def obj(p, indent):
    inv = " inverse" if p["sense"] <= 0 else ""
    interior = " interior { ior %s }" % f(p["refr"]) if p["surf"] == 3 else ""
    return "%s%s%s\n%s  texture { %s\n%s    %s }%s }\n" % (
        indent, shape(p), inv, indent, pigment(p), indent, finish(p), interior)


def translate(s, name):
    out = ["// %s, translated from KORU's scene by bench/rt2pov.py\n" % name,
           "#version 3.7;\n",
           "global_settings {\n  assumed_gamma 1.0\n  ambient_light rgb 1\n"
           "  max_trace_level %d\n  adc_bailout 0\n}\n" % (s["depth"] + 1),
           "background { rgb 0 }\n",
           camera(s)]
    for pos, bright in s["lights"]:
        out.append("light_source { %s color rgb %s }\n" % (v(pos), f(bright)))
    grouped = set(i for g in s["groups"] for i in g)
    for i, p in enumerate(s["prims"]):
        if p["type"] in (1, 2, 3, 4) and i not in grouped:
            out.append("// %d\n" % (i + 1))
            out.append(obj(p, ""))
    for g in s["groups"]:
        members = [i for i in g if s["prims"][i]["type"] in (1, 2, 3, 4)]
        out.append("// group %s\nintersection {\n" % " ".join(str(i + 1) for i in g))
        for i in members:
            out.append(obj(s["prims"][i], "  "))
        out.append("}\n")
    return "".join(out)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: rt2pov.py SCENE.RT > SCENE.pov\n")
        return 2
    name = sys.argv[1]
    with open(name) as fh:
        scene = read_scene(fh.read())
    sys.stdout.write(translate(scene, name.rsplit("/", 1)[-1]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
