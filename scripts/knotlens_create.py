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

Everything here works in batch mode (mayapy, render farms) except
install_shelf_button(), which does nothing there: no UI is ever built
without an interface.

maya.cmds is imported on first use, so the module can be imported outside
Maya. Assign ``cmds`` (and ``mel``) to substitute objects to drive it
without Maya.
"""

PLUGIN_NAME = "knotlens"
NODE_TYPE = "QVTK_Tessark_DrawManagerNode"

SHELF_BUTTON_LABEL = "knotlens"
SHELF_BUTTON_COMMAND = "import knotlens_create\nknotlens_create.toggle()"

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
