#include "support/curve_shapes.h"

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MItSelectionList.h>
#include <maya/MObject.h>
#include <maya/MString.h>

namespace knotlens_test {

std::set<std::string> curveShapesIn(const MSelectionList& list) {
    std::set<std::string> names;
    for (MItSelectionList item(list, MFn::kInvalid); !item.isDone(); item.next()) {
        MDagPath path;
        MObject component;
        if (!item.getDagPath(path, component)) {
            continue;  // not a DAG item
        }
        path.extendToShape();
        if (path.apiType() == MFn::kNurbsCurve) {
            names.insert(path.fullPathName().asChar());
        }
    }
    return names;
}

}  // namespace knotlens_test
