"""Tests for scripts/knotlens_create.py, driven through a fake maya.cmds.

The fake keeps a tiny scene (nodes with types and parents, loaded plug-ins,
shelves) and refuses what Maya refuses: createNode of a type whose plug-in
is not loaded, ls of an unknown type, deleting a node that does not exist.
Every call is logged so that tests can assert what was (not) asked of Maya.

Run: python3 tests/test_knotlens_create.py
"""

import importlib
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, os.pardir, "scripts"))

UI_COMMANDS = {"shelfButton", "shelfLayout", "tabLayout", "menu", "menuItem", "window", "showWindow"}


class FakeCmds:
    """Just enough of maya.cmds for the creation script."""

    def __init__(self, batch=False, loadable=True):
        self.batch = batch
        self.loadable = loadable
        self.loaded = set()
        self.plugin_types = {"knotlens": "QVTK_Tessark_DrawManagerNode"}
        self.nodes = {}  # full path -> type
        self.selection = ["|curve1"]
        self.shelves = {"Curves": []}  # shelf -> button names
        self.buttons = {}  # button name -> label
        self.calls = []
        self.nodes["|curve1"] = "transform"
        self.nodes["|curve1|curveShape1"] = "nurbsCurve"

    # -- bookkeeping
    def _log(self, name, *args, **kwargs):
        self.calls.append((name, args, kwargs))

    def called(self, name):
        return [c for c in self.calls if c[0] == name]

    def _known_types(self):
        types = {"transform", "nurbsCurve", "mesh", "locator"}
        types.update(self.plugin_types[p] for p in self.loaded)
        return types

    # -- commands
    def about(self, batch=False):
        self._log("about", batch=batch)
        return self.batch

    def pluginInfo(self, name, query=False, loaded=False):
        self._log("pluginInfo", name, query=query, loaded=loaded)
        return name in self.loaded

    def loadPlugin(self, name, quiet=False):
        self._log("loadPlugin", name, quiet=quiet)
        if not self.loadable or name not in self.plugin_types:
            raise RuntimeError("Plug-in, \"%s\", was not found on MAYA_PLUG_IN_PATH." % name)
        if name in self.loaded and not quiet:
            raise RuntimeError("Plug-in already loaded")
        self.loaded.add(name)
        return [name]

    def ls(self, type=None, long=False):
        self._log("ls", type=type, long=long)
        if type not in self._known_types():
            raise RuntimeError("Unknown object type: %s" % type)
        found = [path for path, t in self.nodes.items() if t == type]
        return found if long else [p.rsplit("|", 1)[-1] for p in found]

    def createNode(self, node_type, skipSelect=False, name=None, parent=None):
        self._log("createNode", node_type, skipSelect=skipSelect)
        if node_type not in self._known_types():
            raise RuntimeError("Unknown object type: %s" % node_type)
        index = 1
        while "|transform%d" % index in self.nodes:
            index += 1
        transform = "|transform%d" % index
        shape = "%s|%sShape%d" % (transform, "knotlens", index)
        self.nodes[transform] = "transform"
        self.nodes[shape] = node_type
        if not skipSelect:
            self.selection = [shape]
        return shape.rsplit("|", 1)[-1]

    def listRelatives(self, node, parent=False, children=False, fullPath=False):
        self._log("listRelatives", node, parent=parent, children=children)
        if node not in self.nodes:
            raise ValueError("No object matches name: %s" % node)
        if parent:
            head = node.rsplit("|", 1)[0]
            return [head] if head else None
        kids = [p for p in self.nodes if p.rsplit("|", 1)[0] == node]
        return kids or None

    def delete(self, nodes):
        self._log("delete", list(nodes))
        for node in nodes:
            if node not in self.nodes:
                raise ValueError("No object matches name: %s" % node)
        for node in nodes:
            for path in [p for p in self.nodes if p == node or p.startswith(node + "|")]:
                del self.nodes[path]

    def tabLayout(self, name, query=False, selectTab=False):
        self._log("tabLayout", name)
        return "Curves"

    def shelfLayout(self, name, query=False, childArray=False):
        self._log("shelfLayout", name)
        return list(self.shelves[name]) or None

    def shelfButton(self, name=None, exists=False, query=False, label=None, parent=None, **kwargs):
        self._log("shelfButton", name, exists=exists, query=query, parent=parent, **kwargs)
        if exists:
            return name in self.buttons
        if query:
            return self.buttons[name]
        button = "shelfButton%d" % (len(self.buttons) + 1)
        self.buttons[button] = label
        self.shelves[parent].append(button)
        return button


class FakeMel:
    def __init__(self, cmds):
        self.cmds = cmds

    def eval(self, text):
        self.cmds._log("mel.eval", text)
        return "ShelfLayout" if "$gShelfTopLevel" in text else None


def draw_managers(fake):
    return sorted(p for p, t in fake.nodes.items() if t == "QVTK_Tessark_DrawManagerNode")


class CreationScriptTest(unittest.TestCase):
    def setUp(self):
        self.kl = importlib.import_module("knotlens_create")
        self.fake = FakeCmds()
        self.kl.cmds = self.fake
        self.kl.mel = FakeMel(self.fake)

    def tearDown(self):
        self.kl.cmds = None
        self.kl.mel = None

    def test_importing_does_not_need_maya(self):
        self.assertNotIn("maya", sys.modules)
        self.assertNotIn("maya.cmds", sys.modules)

    def test_load_plugin_loads_only_when_not_loaded(self):
        self.assertTrue(self.kl.load_plugin())
        self.assertEqual(self.fake.loaded, {"knotlens"})
        self.assertFalse(self.kl.load_plugin())
        self.assertEqual(len(self.fake.called("loadPlugin")), 1)

    def test_load_plugin_reports_a_missing_plugin(self):
        self.fake.loadable = False
        with self.assertRaises(RuntimeError):
            self.kl.load_plugin()

    def test_create_loads_the_plugin_and_makes_one_node_without_touching_the_selection(self):
        node = self.kl.create()
        managers = draw_managers(self.fake)
        self.assertEqual(len(managers), 1)
        self.assertTrue(managers[0].endswith("|" + node))
        self.assertEqual(self.fake.selection, ["|curve1"])

    def test_create_reuses_an_existing_node(self):
        first = self.kl.create()
        second = self.kl.create()
        self.assertEqual(len(draw_managers(self.fake)), 1)
        self.assertTrue(second.endswith(first))
        self.assertEqual(len(self.fake.called("createNode")), 1)

    def test_create_reuses_a_node_made_by_someone_else(self):
        self.fake.loaded.add("knotlens")
        made = self.fake.createNode("QVTK_Tessark_DrawManagerNode", skipSelect=True)
        self.assertTrue(self.kl.create().endswith(made))
        self.assertEqual(len(draw_managers(self.fake)), 1)

    def test_remove_deletes_every_node_and_its_transform_but_nothing_else(self):
        self.fake.loaded.add("knotlens")
        self.fake.createNode("QVTK_Tessark_DrawManagerNode", skipSelect=True)
        self.fake.createNode("QVTK_Tessark_DrawManagerNode", skipSelect=True)
        self.assertEqual(self.kl.remove(), 2)
        self.assertEqual(draw_managers(self.fake), [])
        self.assertEqual(sorted(self.fake.nodes), ["|curve1", "|curve1|curveShape1"])

    def test_remove_keeps_a_transform_that_holds_other_children(self):
        self.fake.loaded.add("knotlens")
        self.fake.createNode("QVTK_Tessark_DrawManagerNode", skipSelect=True)
        self.fake.nodes["|transform1|keepMe"] = "locator"
        self.assertEqual(self.kl.remove(), 1)
        self.assertEqual(draw_managers(self.fake), [])
        self.assertIn("|transform1", self.fake.nodes)
        self.assertIn("|transform1|keepMe", self.fake.nodes)

    def test_remove_without_the_plugin_loaded_does_nothing(self):
        self.assertEqual(self.kl.remove(), 0)
        self.assertEqual(self.fake.called("delete"), [])
        self.assertEqual(self.fake.called("loadPlugin"), [])

    def test_toggle_alternates_between_one_node_and_none(self):
        self.assertIsNotNone(self.kl.toggle())
        self.assertEqual(len(draw_managers(self.fake)), 1)
        self.assertIsNone(self.kl.toggle())
        self.assertEqual(draw_managers(self.fake), [])
        self.assertIsNotNone(self.kl.toggle())
        self.assertEqual(len(draw_managers(self.fake)), 1)

    def test_nothing_builds_ui_in_batch_mode(self):
        self.fake.batch = True
        self.assertIsNone(self.kl.install_shelf_button())
        self.kl.toggle()
        self.kl.create()
        self.kl.remove()
        used = {c[0] for c in self.fake.calls}
        self.assertFalse(used & UI_COMMANDS, used & UI_COMMANDS)
        self.assertEqual(self.fake.called("mel.eval"), [])
        self.assertEqual(self.fake.buttons, {})

    def test_shelf_button_goes_to_the_current_shelf_once(self):
        button = self.kl.install_shelf_button()
        self.assertEqual(self.fake.shelves["Curves"], [button])
        self.assertEqual(self.kl.install_shelf_button(), button)
        self.assertEqual(len(self.fake.buttons), 1)
        create_calls = [c for c in self.fake.called("shelfButton") if c[2].get("parent")]
        self.assertEqual(len(create_calls), 1)
        self.assertEqual(create_calls[0][2]["sourceType"], "python")

    def test_shelf_button_command_toggles_the_overlay(self):
        self.kl.install_shelf_button()
        command = [c for c in self.fake.called("shelfButton") if c[2].get("parent")][0][2]["command"]
        exec(compile(command, "<shelf button>", "exec"), {})
        self.assertEqual(len(draw_managers(self.fake)), 1)
        exec(compile(command, "<shelf button>", "exec"), {})
        self.assertEqual(draw_managers(self.fake), [])


if __name__ == "__main__":
    unittest.main()
