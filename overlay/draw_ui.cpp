// DrawOverride::addUIDrawables: draws one frame's record through the host's
// UI draw manager. Everything comes from the record; only the marker radius
// and the circles' line width are fixed here.
#include <maya/MUIDrawManager.h>

#include "overlay/draw_override.h"
#include "overlay/user_data.h"

namespace {

// Marker circle radius in pixels: half the point size plus 4, in single precision.
double markerRadius(float pointSize) {
    return static_cast<double>(pointSize * 0.5f + 4.0f);
}

}  // namespace

void DrawOverride::addUIDrawables(const MDagPath& /*objPath*/, MHWRender::MUIDrawManager& drawManager,
                                  const MHWRender::MFrameContext& /*frameContext*/, const MUserData* data) {
    const auto* record = dynamic_cast<const UserData*>(data);
    if (record == nullptr) {
        return;
    }
    // The state this record's own node had when it was prepared.
    if (record->nodeState != 0) {
        return;
    }

    if (record->drawOnTop) {
        drawManager.beginDrawInXray();
    } else {
        drawManager.beginDrawable(MHWRender::MUIDrawManager::kAutomatic, 0);
    }

    if (record->showCurve) {
        drawManager.setLineWidth(record->lineWidth);
        for (std::size_t i = 0; i < record->curveLinePoints.size(); ++i) {
            drawManager.mesh(MHWRender::MUIDrawManager::kLines, record->curveLinePoints[i], nullptr,
                             &record->curveLineColors[i], nullptr, nullptr);
        }
    }

    if (record->showHull) {
        for (std::size_t i = 0; i < record->hullLinePoints.size(); ++i) {
            drawManager.setLineWidth(record->hullWidth);
            drawManager.mesh(MHWRender::MUIDrawManager::kLines, record->hullLinePoints[i], nullptr,
                             &record->hullLineColors[i], nullptr, nullptr);
        }
    }

    if (record->cvPoints.length() > 0) {
        drawManager.setPointSize(record->pointSize);
        drawManager.mesh(MHWRender::MUIDrawManager::kPoints, record->cvPoints, nullptr, &record->cvColors,
                         nullptr, nullptr);
        drawManager.setLineWidth(1.0f);
        const double radius = markerRadius(record->pointSize);
        for (unsigned int i = 0; i < record->markerPoints.length(); ++i) {
            drawManager.setColor(record->markerColors[i]);
            drawManager.circle2d(record->markerPoints[i], radius, false);
        }
    }

    if (record->drawOnTop) {
        drawManager.endDrawInXray();
    } else {
        drawManager.endDrawable();
    }
}
