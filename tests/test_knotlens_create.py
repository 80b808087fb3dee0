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

UI_COMMANDS = {"shelfButton", "shelfLayout", "tabLayout", "menu", "menuItem", "window", "showWindow", "deleteUI"}


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
        self.attrs = {}  # "node.attr" -> value
        self.warnings = []
        self.menus = {}  # menu name -> {"label", "parent", "items": [(label, command) or None]}
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

    def ls(self, type=None, long=False, selection=False, objectsOnly=False):
        self._log("ls", type=type, long=long, selection=selection)
        if selection:
            return list(self.selection) if long else [p.rsplit("|", 1)[-1] for p in self.selection]
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

    def listRelatives(self, node, parent=False, children=False, fullPath=False, shapes=False, type=None,
                      noIntermediate=False):
        self._log("listRelatives", node, parent=parent, children=children, shapes=shapes, type=type)
        if node not in self.nodes:
            raise ValueError("No object matches name: %s" % node)
        if parent:
            head = node.rsplit("|", 1)[0]
            return [head] if head else None
        kids = [p for p in self.nodes if p.rsplit("|", 1)[0] == node]
        if shapes:
            kids = [k for k in kids if self.nodes[k] != "transform"]
        if type is not None:
            kids = [k for k in kids if self.nodes[k] == type]
        return kids or None

    def nodeType(self, node):
        self._log("nodeType", node)
        if node not in self.nodes:
            raise RuntimeError("No object matches name: %s" % node)
        return self.nodes[node]

    def select(self, nodes, replace=False):
        self._log("select", list(nodes), replace=replace)
        for node in nodes:
            if node not in self.nodes:
                raise ValueError("No object matches name: %s" % node)
        self.selection = list(nodes)

    def setAttr(self, plug, value, type=None):
        self._log("setAttr", plug, value, type=type)
        node, attr = plug.split(".", 1)
        if node not in self.nodes:
            raise RuntimeError("No object matches name: %s" % plug)
        if attr == "occluderMeshName" and type != "string":
            raise RuntimeError("Error reading data element number 1: %s" % value)
        self.attrs[plug] = value

    def warning(self, text):
        self._log("warning", text)
        self.warnings.append(text)

    def menu(self, name=None, exists=False, label=None, parent=None, tearOff=False):
        self._log("menu", name, exists=exists, parent=parent)
        if exists:
            return name in self.menus
        if name in self.menus:
            raise RuntimeError("Object's name '%s' is not unique." % name)
        self.menus[name] = {"label": label, "parent": parent, "items": []}
        return name

    def menuItem(self, label=None, divider=False, parent=None, command=None, sourceType=None, annotation=None):
        self._log("menuItem", label, divider=divider, parent=parent, sourceType=sourceType)
        self.menus[parent]["items"].append(None if divider else (label, command))
        return "menuItem%d" % len(self.calls)

    def deleteUI(self, name, menu=False):
        self._log("deleteUI", name, menu=menu)
        if not menu or name not in self.menus:
            raise RuntimeError("Object '%s' not found." % name)
        del self.menus[name]

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
        if "$gShelfTopLevel" in text:
            return "ShelfLayout"
        if "$gMainWindow" in text:
            return "MayaWindow"
        return None


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
        self.assertIsNone(self.kl.create_menu())
        self.assertFalse(self.kl.delete_menu())
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


class ArtistToolsTest(unittest.TestCase):
    """The knotlens menu, selecting the node and the occluder shortcut."""

    def setUp(self):
        self.kl = importlib.import_module("knotlens_create")
        self.fake = FakeCmds()
        self.kl.cmds = self.fake
        self.kl.mel = FakeMel(self.fake)
        self.fake.nodes["|wall"] = "transform"
        self.fake.nodes["|wall|wallShape"] = "mesh"
        self.fake.nodes["|floor"] = "transform"
        self.fake.nodes["|floor|floorShape"] = "mesh"

    def tearDown(self):
        self.kl.cmds = None
        self.kl.mel = None

    def run_item(self, label):
        items = [i for i in self.fake.menus[self.kl.MENU_NAME]["items"] if i and i[0] == label]
        self.assertEqual(len(items), 1, label)
        exec(compile(items[0][1], "<menu item>", "exec"), {})

    def test_menu_sits_in_the_main_window_with_the_four_items(self):
        menu = self.kl.create_menu()
        self.assertEqual(menu, self.kl.MENU_NAME)
        entry = self.fake.menus[menu]
        self.assertEqual(entry["label"], "knotlens")
        self.assertEqual(entry["parent"], "MayaWindow")
        labels = [i[0] if i else "-" for i in entry["items"]]
        self.assertEqual(labels, ["Create Draw Manager", "Select Draw Manager", "Remove Draw Manager", "-",
                                  "Use Selected Mesh as Occluder"])
        for call in self.fake.called("menuItem"):
            if not call[2]["divider"]:
                self.assertEqual(call[2]["sourceType"], "python")

    def test_menu_items_do_what_they_say(self):
        self.kl.create_menu()
        self.run_item("Create Draw Manager")
        managers = draw_managers(self.fake)
        self.assertEqual(len(managers), 1)
        self.run_item("Select Draw Manager")
        self.assertEqual(self.fake.selection, managers)
        self.fake.selection = ["|wall"]
        self.run_item("Use Selected Mesh as Occluder")
        self.assertEqual(self.fake.attrs[managers[0] + ".occluderMeshName"], "|wall|wallShape")
        self.run_item("Remove Draw Manager")
        self.assertEqual(draw_managers(self.fake), [])

    def test_menu_is_replaced_not_stacked_and_removed_on_request(self):
        self.kl.create_menu()
        self.kl.create_menu()
        self.assertEqual(list(self.fake.menus), [self.kl.MENU_NAME])
        self.assertTrue(self.kl.delete_menu())
        self.assertEqual(self.fake.menus, {})
        self.assertFalse(self.kl.delete_menu())

    def test_selecting_without_a_node_warns_and_keeps_the_selection(self):
        self.assertEqual(self.kl.select_nodes(), [])
        self.assertEqual(self.fake.selection, ["|curve1"])
        self.assertEqual(len(self.fake.warnings), 1)

    def test_occluder_takes_the_one_selected_mesh_and_turns_occlusion_on_for_every_node(self):
        self.fake.loaded.add("knotlens")
        self.fake.createNode(NODE, skipSelect=True)
        self.fake.createNode(NODE, skipSelect=True)
        managers = draw_managers(self.fake)
        self.assertEqual(len(managers), 2)
        for selection in (["|wall"], ["|wall|wallShape"], ["|wall", "|wall|wallShape", "|curve1"]):
            self.fake.attrs.clear()
            self.fake.selection = selection
            self.assertEqual(self.kl.use_selected_mesh_as_occluder(), "|wall|wallShape", selection)
            for node in managers:
                self.assertEqual(self.fake.attrs[node + ".occluderMeshName"], "|wall|wallShape")
                self.assertIs(self.fake.attrs[node + ".useCVOcclusion"], True)

    def test_occluder_on_one_named_node_leaves_the_others(self):
        self.fake.loaded.add("knotlens")
        self.fake.createNode(NODE, skipSelect=True)
        self.fake.createNode(NODE, skipSelect=True)
        one, other = draw_managers(self.fake)
        self.fake.selection = ["|floor"]
        self.assertEqual(self.kl.use_selected_mesh_as_occluder(one), "|floor|floorShape")
        self.assertEqual(self.fake.attrs, {one + ".occluderMeshName": "|floor|floorShape",
                                           one + ".useCVOcclusion": True})

    def test_occluder_needs_exactly_one_mesh_and_a_node(self):
        self.fake.loaded.add("knotlens")
        self.fake.createNode(NODE, skipSelect=True)
        for selection in ([], ["|curve1"], ["|wall", "|floor"]):
            self.fake.selection = selection
            self.assertIsNone(self.kl.use_selected_mesh_as_occluder(), selection)
        self.assertEqual(self.fake.attrs, {})
        self.assertEqual(len(self.fake.warnings), 3)

        self.kl.remove()
        self.fake.selection = ["|wall"]
        self.assertIsNone(self.kl.use_selected_mesh_as_occluder())
        self.assertEqual(self.fake.attrs, {})


NODE = "QVTK_Tessark_DrawManagerNode"


if __name__ == "__main__":
    unittest.main()
