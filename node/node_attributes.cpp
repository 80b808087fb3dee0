// DrawManagerNode::initialize: creates the 23 settings attributes from the
// settings table, in its order, and adds each to the node type. Statuses are
// ignored on purpose: a failed step shows only as a missing or default
// setting.
#include "node/node_attributes.h"

#include <maya/MFnData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include "node/draw_manager_node.h"
#include "node/settings_table.h"

namespace {

MFnNumericData::Type numericType(SettingType type) {
    switch (type) {
        case SettingType::Boolean:
            return MFnNumericData::kBoolean;
        case SettingType::Int64:
            return MFnNumericData::kInt64;
        case SettingType::Float:
            return MFnNumericData::kFloat;
        case SettingType::ColorFloats:
        case SettingType::ColorDoubles:
        case SettingType::String:
            break;
    }
    return MFnNumericData::k3Float;
}

// A numeric attribute; range and colour settings apply to the attribute the
// function set created last. Colours are created with default 0 and then
// given their three-component default.
MObject createNumeric(MFnNumericAttribute& numeric, const Setting& setting) {
    const bool isColor =
        setting.type == SettingType::ColorFloats || setting.type == SettingType::ColorDoubles;
    MObject attribute = numeric.create(setting.longName, setting.shortName, numericType(setting.type),
                                       isColor ? 0.0 : setting.defaultValue[0]);
    if (setting.hasRange) {
        numeric.setMin(setting.minValue);
        numeric.setMax(setting.maxValue);
    }
    const double* rgb = setting.defaultValue;
    if (setting.type == SettingType::ColorFloats) {
        numeric.setDefault(static_cast<float>(rgb[0]), static_cast<float>(rgb[1]),
                           static_cast<float>(rgb[2]));
    } else if (setting.type == SettingType::ColorDoubles) {
        numeric.setDefault(rgb[0], rgb[1], rgb[2]);
    }
    if (isColor) {
        numeric.setUsedAsColor(true);
    }
    return attribute;
}

}  // namespace

MStatus DrawManagerNode::initialize() {
    MFnNumericAttribute numeric;
    MFnTypedAttribute typed;
    for (const Setting& setting : kSettings) {
        if (setting.type == SettingType::String) {
            // No default data: a new node's string is empty.
            *setting.attribute =
                typed.create(setting.longName, setting.shortName, MFnData::kString, MObject::kNullObj);
        } else {
            *setting.attribute = createNumeric(numeric, setting);
        }
        addAttribute(*setting.attribute);
    }
    return MS::kSuccess;
}
