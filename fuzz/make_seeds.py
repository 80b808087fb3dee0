#!/usr/bin/env python3
"""Writes the scene fuzzer's seed corpus (fuzz/corpus/) in the byte format
that fuzz/decoder.cpp reads: an opcode byte per operation, then its operands.

Usage: fuzz/make_seeds.py [OUTPUT_DIR]   (default: the corpus/ next to this file)
       fuzz/make_seeds.py --module-cycles [OUTPUT_DIR]   (default: module_cycles/)

The second form writes inputs that unload and reload the module many times
between scene edits, for replays that check the host keeps nothing of what
is gone (CTest fuzz_replay_stays_flat).

Keep the opcode list, the extreme-value table and the operand order in step
with fuzz/decoder.cpp.
"""
import math
import os
import random
import struct
import sys

OPS = [
    "createCurve", "createMesh", "createCamera", "createManager", "createGroup", "delete",
    "flushUndo", "rename", "parent", "transform", "setCV", "setCVs", "selectObjects",
    "selectComponents", "richSelection", "setHilite", "apiSelection", "clearSelection",
    "setAttr", "occluderName", "displayStatus", "addView", "setActiveView", "drawFrame",
    "cycleModule",
]
OP = {name: i for i, name in enumerate(OPS)}

NAN = float("nan")
INF = float("inf")
EXTREMES = [
    0.0, -0.0, 1.0, -1.0, 0.5, 0.25, 0.01, 2.0,
    64.0, 65.0, 100.0, 101.0, 1e-300, -1e-300, 5e-324,
    1e-15, 1e15, 1e6, -1e6, 1e10, 1e38, 3.5e38, 1e300,
    -1e300, 1.7976931348623157e308, -1.7976931348623157e308,
    INF, -INF, NAN, -NAN, 1e-45, 2147483648.0,
]
KNOT_STEPS = [0.0, 1.0, 0.5, 2.0, 1e-300, 1e-12, 1e15, 1.0 / 1073741824.0]
ATTRIBUTES = [
    "drawOnTop", "pointSize", "lineWidth", "hullWidth", "curveDivisions", "deselectedPointColor",
    "deselectedPointAlpha", "selectedPointColor", "selectedPointAlpha", "curveColor", "curveAlpha",
    "hullColor", "hullAlpha", "useCVDistanceColor", "useHullDistanceColor", "useCurveDistanceColor",
    "distanceColorMin", "distanceColorMax", "occluderMeshName", "useCVOcclusion", "showCurve",
    "showHull", "lazyUpdate", "nodeState", "noSuchAttribute",
]
COLOR_ATTRIBUTES = {"deselectedPointColor", "selectedPointColor", "curveColor", "hullColor"}
COMPONENTS = {"cv": 0, "ep": 1, "knot": 2, "meshVertex": 3}
# Lists that pickName chooses from, numbered as ScenePlayer::anyName does.
KINDS = {"curve": 0, "mesh": 1, "camera": 2, "manager": 3, "group": 4, "odd": 5}


def same(a, b):
    if math.isnan(a) or math.isnan(b):
        return math.isnan(a) and math.isnan(b) and math.copysign(1, a) == math.copysign(1, b)
    return a == b and math.copysign(1, a) == math.copysign(1, b)


class Scene:
    """Builds one input; mirrors the decoder's bookkeeping of what exists."""

    def __init__(self):
        self.out = bytearray()
        self.lists = {"curve": 0, "mesh": 0, "camera": 1, "manager": 0, "group": 0}  # "persp" is there

    # ---- operands
    def byte(self, v):
        self.out.append(v & 0xFF)

    def flag(self, on):
        self.byte(1 if on else 0)

    def int16(self, v):
        self.out += struct.pack("<h", v)

    def real(self, v):
        for i, e in enumerate(EXTREMES):
            if same(v, e):
                self.byte(0x80 + i)
                return
        if v * 2 == int(v * 2) and -32 <= v <= 31.5:
            self.byte(int(v * 2) + 64)
            return
        self.byte(0xC0)
        self.out += struct.pack("<d", v)

    def vec(self, v):
        for c in v:
            self.real(c)

    def name(self, kind, index=0, form=0):
        """One of the decoder's name choices: item `index` of a list, as its full
        path (form 0), shape (1) or leaf name (2); kind "odd" names entry
        `index` of the odd-name table."""
        if kind == "odd":
            self.byte(240 + (index - 240 % 12) % 12)
            return
        size = self.lists[kind]
        assert 0 <= index < size, (kind, index, size)
        for c in range(240):
            if c % size == index and c % 3 == form:
                self.byte(c)
                return
        raise AssertionError("no name byte")

    def any_name(self, kind, index=0, form=0):
        self.byte(KINDS[kind])
        self.name(kind, index, form)

    def op(self, name):
        self.byte(OP[name])

    # ---- operations
    def curve(self, cvs, degree=3, form=1, repeat=False, knots=None, steps=None, start=0.0):
        self.op("createCurve")
        self.byte(degree)
        self.byte(form)
        self.flag(repeat)
        self.byte(0 if knots is None and steps is None else (1 if steps is not None else 2))
        self.byte(1)  # no parent
        self.byte(len(cvs))
        for cv in cvs:
            self.vec(cv)
        if steps is not None:
            self.real(start)
            for s in steps:
                self.byte(KNOT_STEPS.index(s))
        elif knots is not None:
            self.byte(len(knots) - (len(cvs) + degree - 1) + 1)
            for k in knots:
                self.real(k)
        self.lists["curve"] += 1

    def box(self, lo, hi):
        self.op("createMesh")
        self.byte(0)
        self.vec(lo)
        self.vec(hi)
        self.byte(1)  # no parent
        self.lists["mesh"] += 1

    def polygons(self, vertices, faces):
        self.op("createMesh")
        self.byte(2)
        self.byte(len(vertices) - 1)
        for v in vertices:
            self.vec(v)
        self.byte(len(faces) - 1)
        for face in faces:
            self.byte(len(face) - 2)
            for index in face:
                self.byte(index)
                self.byte(1)  # no out-of-range shift
        self.byte(1)  # no parent
        self.lists["mesh"] += 1

    def camera(self, eye=None, target=(0, 0, 0), on_curve=None, in_mesh=None, view=True, active=True):
        self.op("createCamera")
        if on_curve is not None:
            self.byte(1)
            self.name("curve", on_curve[0])
            self.byte(on_curve[1])
        elif in_mesh is not None:
            self.byte(2)
            self.byte(in_mesh)
        else:
            self.byte(0)
            self.vec(eye)
        self.vec(target)
        self.flag(False)  # default field of view
        self.byte(1)  # no parent
        self.flag(view)
        if view:
            self.flag(active)
        self.lists["camera"] += 1

    def manager(self):
        self.op("createManager")
        self.lists["manager"] += 1

    def group(self):
        self.op("createGroup")
        self.flag(False)
        self.lists["group"] += 1

    def delete(self, kind, index, undoable=False):
        self.op("delete")
        self.any_name(kind, index)
        self.flag(undoable)

    def rename(self, kind, index, new_name_choice):
        self.op("rename")
        self.any_name(kind, index)
        self.byte(new_name_choice)

    def translate(self, kind, index, v, which=0):
        self.op("transform")
        self.any_name(kind, index)
        self.byte(which)
        self.vec(v)

    def set_cvs(self, curve, cvs):
        self.op("setCVs")
        self.name("curve", curve)
        self.byte(len(cvs))
        for cv in cvs:
            self.vec(cv)

    def select(self, items, add=False):
        self.op("selectObjects")
        self.byte(len(items))
        for kind, index in items:
            self.any_name(kind, index)
        self.flag(add)

    def select_components(self, curve, elements, kind="cv", weights=None, add=False, hilite=True):
        self.op("selectComponents")
        self.name("curve", curve)
        self.byte(COMPONENTS[kind])
        self.byte(len(elements))
        for e in elements:
            self.int16(e)
        self.flag(weights is not None)
        for w in weights or []:
            self.real(w)
        self.flag(add)
        self.flag(hilite)

    def rich(self, items):
        self.op("richSelection")
        self.byte(len(items))
        for curve, cvs, weights in items:
            self.flag(True)
            self.name("curve", curve)
            self.byte(len(cvs))
            for cv, w in zip(cvs, weights):
                self.int16(cv)
                self.real(w)

    def api_selection(self, curve, kind, elements, hilite=False):
        self.op("apiSelection")
        self.byte(1)
        self.byte(0)
        self.name("curve", curve)
        self.byte(COMPONENTS[kind])
        self.byte(len(elements))
        for e in elements:
            self.out += struct.pack("<H", e)
        self.flag(False)
        self.flag(hilite)

    def clear(self):
        self.op("clearSelection")

    def set_attr(self, attr, *values, manager=0, force=False):
        self.op("setAttr")
        self.byte(1)  # a draw manager node
        self.name("manager", manager)
        self.byte(ATTRIBUTES.index(attr))
        self.flag(True)  # long name
        self.flag(force)
        assert len(values) == (3 if attr in COLOR_ATTRIBUTES else 1)
        for v in values:
            self.real(v)

    def occluder(self, mesh, manager=0):
        self.op("occluderName")
        self.name("manager", manager)
        self.flag(True)
        self.byte(1)  # a mesh
        self.name("mesh", mesh, 0)

    def display_status(self, kind, index, status):
        self.op("displayStatus")
        self.any_name(kind, index)
        self.byte(status)
        self.flag(False)

    def draw(self):
        self.op("drawFrame")

    def cycle(self):
        self.op("cycleModule")


def line(n, z=0.0, step=2.0):
    return [(i * step - n, (i % 3) * 1.5, z) for i in range(n)]


def seeds():
    s = Scene()  # CVs selected on one curve, hull shown
    s.curve(line(7))
    s.manager()
    s.select_components(0, [3, 1])
    s.draw()
    s.set_attr("showHull", 1)
    s.draw()
    yield "cv_selection", s

    s = Scene()  # soft selection with odd weights on two curves
    s.curve(line(5))
    s.curve(line(6, z=4.0), degree=2)
    s.manager()
    s.rich([(0, [0, 2, 4], [0.25, NAN, -1.0]), (1, [1, 9, -3], [2.0, 1.0, INF])])
    s.draw()
    yield "soft_selection", s

    s = Scene()  # an occluder between camera and CVs, a camera inside it
    s.curve(line(6))
    s.box((-4, -4, 6), (4, 4, 8))
    s.manager()
    s.occluder(0)
    s.set_attr("useCVOcclusion", 1)
    s.select([("curve", 0)])
    s.display_status("curve", 0, 2)
    s.camera(eye=(0, 0, 20))
    s.draw()
    s.camera(in_mesh=0)
    s.draw()
    s.camera(on_curve=(0, 0))
    s.draw()
    yield "occluder_cameras", s

    s = Scene()  # non-finite and huge CVs, settings forced out of range
    s.curve([(0, 0, 0), (1, NAN, 0), (2, 1, INF), (1e300, 1e300, 0), (4, 0, -INF)])
    s.manager()
    s.set_attr("curveDivisions", 0, force=True)
    s.set_attr("pointSize", NAN, force=True)
    s.select_components(0, [0, 1, 2, 3, 4])
    s.draw()
    s.set_attr("curveDivisions", 1e15, force=True)
    s.set_attr("distanceColorMax", 1e38, force=True)
    s.set_attr("curveColor", NAN, 1.0, -INF, force=True)
    s.draw()
    yield "extreme_values", s

    s = Scene()  # two nodes, undoable delete, rename, unload and reload
    s.curve(line(5))
    s.manager()
    s.manager()
    s.select([("curve", 0)])
    s.set_attr("lazyUpdate", 1, manager=1)
    s.draw()
    s.delete("manager", 0, undoable=True)
    s.rename("curve", 0, 2)
    s.draw()
    s.delete("manager", 1)
    s.op("flushUndo")
    s.cycle()
    s.manager()
    s.select([("curve", 0)])
    s.draw()
    yield "node_lifecycle", s

    s = Scene()  # periodic and degree-7 curves, vanishing knot steps, edit points
    s.curve([(3, 0, 0), (0, 0, 3), (-3, 0, 0), (0, 0, -3), (3, 0, 0), (0, 0, 3), (-3, 0, 0)], form=3, repeat=True)
    s.curve(line(9), degree=7, steps=[1.0] * 14, start=1e15)
    s.manager()
    s.select_components(1, [0, 2], kind="ep")
    s.draw()
    s.select_components(0, [1, 2])
    s.select([("curve", 1)], add=True)
    s.set_attr("curveDivisions", 64)
    s.draw()
    yield "periodic_and_knots", s

    s = Scene()  # CV indices beyond the curve, a curve rebuilt smaller
    s.curve(line(8))
    s.manager()
    s.api_selection(0, "cv", [2, 7, 300, 65535])
    s.draw()
    s.select_components(0, [5, 6, 7])
    s.set_cvs(0, line(4))
    s.draw()
    yield "stale_components", s

    s = Scene()  # node states, degenerate mesh faces, second view
    s.curve(line(6))
    s.polygons([(0, 0, 5), (0, 0, 5), (1, 1, 5), (2, 2, 5)], [[0, 1, 2], [1, 2, 3], [0, 0, 0]])
    s.manager()
    s.occluder(0)
    s.set_attr("useCVOcclusion", 1)
    s.select_components(0, [0])
    s.camera(eye=(10, 10, 10), view=True, active=False)
    s.set_attr("nodeState", 1)
    s.draw()
    s.set_attr("nodeState", 7, force=True)
    s.draw()
    s.set_attr("nodeState", 0)
    s.set_attr("drawOnTop", 0)
    s.draw()
    yield "states_and_views", s


def module_cycles(count=32, seed=17):
    """Inputs that load and unload the module between edits: nodes made,
    drawn and deleted (some undoably, so that unloading meets nodes of the
    module's type in the undo queue), then unloads while no node of its type
    is left, and a few refused while one is."""
    rng = random.Random(seed)
    for i in range(count):
        s = Scene()
        curves = rng.randint(1, 3)
        for c in range(curves):
            s.curve(line(rng.randint(4, 8), z=2.0 * c))
        for _ in range(rng.randint(3, 6)):
            s.manager()
            s.select_components(0, [0, 2])
            s.draw()
            s.cycle()  # refused: a draw manager node is alive
            last = s.lists["manager"] - 1
            s.op("delete")
            s.any_name("manager", last, form=last % 3)  # byte `last` names it
            s.flag(rng.random() < 0.5)  # undoable
            if rng.random() < 0.5:
                s.op("flushUndo")
            for _ in range(rng.randint(8, 24)):
                s.cycle()
        s.manager()
        s.draw()
        yield f"cycles_{i:02d}", s


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    args = sys.argv[1:]
    make = seeds
    default_dir = "corpus"
    if args and args[0] == "--module-cycles":
        make = module_cycles
        default_dir = "module_cycles"
        args = args[1:]
    out_dir = args[0] if args else os.path.join(here, default_dir)
    os.makedirs(out_dir, exist_ok=True)
    for name, scene in make():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(bytes(scene.out))
        print(f"{name}: {len(scene.out)} bytes")


if __name__ == "__main__":
    main()
