"""Load knotlens, and create or remove its draw manager node.

The overlay needs exactly one draw manager node in the scene; these helpers
make sure there is one (reusing an existing node instead of stacking a
second) or none.

From the Script Editor or a shelf button (Python):

    import knotlens_create
    knotlens_create.toggle()          # on if off, off if on

    knotlens_create.create()          # make sure one node exists
    knotlens_create.remove()          # delete every draw manager node
    knotlens_create.install_shelf_button()   # add a toggle button to the current shelf
    knotlens_create.select_nodes()    # select the draw manager node(s)
    knotlens_create.use_selected_mesh_as_occluder()   # hide CVs behind the selected mesh

create_menu() and delete_menu() build and remove the "knotlens" menu of
Maya's main window; the plug-in calls them (through scripts/knotlensCreateUI.mel and knotlensDeleteUI.mel)
when it loads and unloads in an interactive session.

Everything here works in batch mode (mayapy, render farms) except
install_shelf_button() and create_menu(), which do nothing there: no UI is
ever built without an interface.

maya.cmds is imported on first use, so the module can be imported outside
Maya. Assign ``cmds`` (and ``mel``) to substitute objects to drive it
without Maya.
"""

PLUGIN_NAME = "knotlens"
NODE_TYPE = "QVTK_Tessark_DrawManagerNode"

SHELF_BUTTON_LABEL = "knotlens"
SHELF_BUTTON_COMMAND = "import knotlens_create\nknotlens_create.toggle()"

MENU_NAME = "knotlensMenu"
MENU_LABEL = "knotlens"

# Injection points: None means "import from Maya on first use".
cmds = None
mel = None


def _cmds():
    global cmds
    if cmds is None:
        from maya import cmds as maya_cmds

        cmds = maya_cmds
    return cmds


def _mel():
    global mel
    if mel is None:
        from maya import mel as maya_mel

        mel = maya_mel
    return mel


def is_batch():
    """True when Maya runs without an interface (mayapy, maya -batch)."""
    return bool(_cmds().about(batch=True))


def load_plugin():
    """Load the knotlens plug-in unless it is loaded already.

    Returns True when this call loaded it, False when it was loaded before.
    Raises RuntimeError (from Maya) when the plug-in cannot be found on
    MAYA_PLUG_IN_PATH.
    """
    c = _cmds()
    if c.pluginInfo(PLUGIN_NAME, query=True, loaded=True):
        return False
    c.loadPlugin(PLUGIN_NAME, quiet=True)
    return True


def find_nodes():
    """Every draw manager node in the scene, as long names."""
    c = _cmds()
    if not c.pluginInfo(PLUGIN_NAME, query=True, loaded=True):
        # Without the plug-in the node type is unknown to ls, and no node
        # of it can exist.
        return []
    return list(c.ls(type=NODE_TYPE, long=True) or [])


def create():
    """Return the scene's draw manager node, creating it if there is none.

    Loads the plug-in first when needed. A new node is created without
    changing the selection, since the overlay draws what is selected.
    """
    load_plugin()
    existing = find_nodes()
    if existing:
        return existing[0]
    return _cmds().createNode(NODE_TYPE, skipSelect=True)


def remove():
    """Delete every draw manager node, with the transform Maya made for it.

    A transform that holds anything else besides the node is kept. Returns
    the number of nodes deleted.
    """
    c = _cmds()
    nodes = find_nodes()
    doomed = []
    for node in nodes:
        parents = c.listRelatives(node, parent=True, fullPath=True) or []
        target = node
        if parents:
            siblings = c.listRelatives(parents[0], children=True, fullPath=True) or []
            if siblings == [node]:
                target = parents[0]
        if target not in doomed:
            doomed.append(target)
    if doomed:
        c.delete(doomed)
    return len(nodes)


def toggle():
    """Remove the draw manager node if there is one, otherwise create it.

    Returns the node's name when it was created, None when it was removed.
    Meant for a shelf button.
    """
    if find_nodes():
        remove()
        return None
    return create()


def install_shelf_button(shelf=None):
    """Add a "knotlens" toggle button to a shelf (the current one by default).

    Does nothing in batch mode. Does not add a second button when the shelf
    has one already. Returns the button's name, or None when nothing was made.
    """
    if is_batch():
        return None
    c = _cmds()
    if shelf is None:
        top = _mel().eval("$knotlensShelfTop = $gShelfTopLevel")
        if not top:
            return None
        shelf = c.tabLayout(top, query=True, selectTab=True)
        if not shelf:
            return None
    for child in c.shelfLayout(shelf, query=True, childArray=True) or []:
        if not c.shelfButton(child, exists=True):
            continue
        if c.shelfButton(child, query=True, label=True) == SHELF_BUTTON_LABEL:
            return child
    return c.shelfButton(
        parent=shelf,
        label=SHELF_BUTTON_LABEL,
        imageOverlayLabel="KL",
        image1="commandButton.png",
        annotation="Toggle the knotlens curve overlay (creates or removes its draw manager node)",
        sourceType="python",
        command=SHELF_BUTTON_COMMAND,
    )


def select_nodes():
    """Select the scene's draw manager nodes, so that the Attribute Editor
    shows their settings. Returns them; with none in the scene the selection
    is left as it is and a warning is printed.

    While a draw manager node is selected the overlay tracks no curve.
    """
    nodes = find_nodes()
    if not nodes:
        _cmds().warning("knotlens: there is no draw manager node; create one first")
        return []
    _cmds().select(nodes, replace=True)
    return nodes


def selected_mesh():
    """The long name of the one mesh shape the selection names (a mesh shape,
    or a transform with mesh shapes under it), or None when the selection
    names no mesh or more than one."""
    c = _cmds()
    meshes = []
    for item in c.ls(selection=True, long=True, objectsOnly=True) or []:
        if c.nodeType(item) == "mesh":
            candidates = [item]
        else:
            candidates = (
                c.listRelatives(item, shapes=True, type="mesh", fullPath=True, noIntermediate=True) or []
            )
        for mesh in candidates:
            if mesh not in meshes:
                meshes.append(mesh)
    return meshes[0] if len(meshes) == 1 else None


def use_selected_mesh_as_occluder(node=None):
    """Make the selected mesh hide the CVs behind it: its name goes into
    occluderMeshName and useCVOcclusion is turned on, on `node`, or on every
    draw manager node when none is given. Returns the mesh's name, or None
    (with a warning, changing nothing) when the selection does not name
    exactly one mesh or there is no draw manager node.
    """
    c = _cmds()
    mesh = selected_mesh()
    if mesh is None:
        c.warning("knotlens: select one mesh to use as the occluder")
        return None
    nodes = [node] if node else find_nodes()
    if not nodes:
        c.warning("knotlens: there is no draw manager node; create one first")
        return None
    for target in nodes:
        c.setAttr(target + ".occluderMeshName", mesh, type="string")
        c.setAttr(target + ".useCVOcclusion", True)
    return mesh


def create_menu():
    """Build the "knotlens" menu in Maya's main window, replacing an earlier
    one. Does nothing in batch mode. Returns the menu's name or None."""
    if is_batch():
        return None
    c = _cmds()
    main_window = _mel().eval("$knotlensMainWindow = $gMainWindow")
    if not main_window:
        return None
    delete_menu()
    menu = c.menu(MENU_NAME, label=MENU_LABEL, parent=main_window, tearOff=True)
    items = [
        ("Create Draw Manager", "knotlens_create.create()",
         "Load the plug-in if needed and make sure one draw manager node exists"),
        ("Select Draw Manager", "knotlens_create.select_nodes()",
         "Select the draw manager node to edit its settings in the Attribute Editor"),
        ("Remove Draw Manager", "knotlens_create.remove()",
         "Delete every draw manager node, which turns the overlay off"),
        None,
        ("Use Selected Mesh as Occluder", "knotlens_create.use_selected_mesh_as_occluder()",
         "Hide the CVs that the selected mesh hides from the camera"),
    ]
    for item in items:
        if item is None:
            c.menuItem(divider=True, parent=menu)
            continue
        label, call, annotation = item
        c.menuItem(label=label, annotation=annotation, parent=menu, sourceType="python",
                   command="import knotlens_create\n" + call)
    return menu


def delete_menu():
    """Remove the "knotlens" menu if it exists. Returns True when it did."""
    if is_batch():
        return False
    c = _cmds()
    if not c.menu(MENU_NAME, exists=True):
        return False
    c.deleteUI(MENU_NAME, menu=True)
    return True
