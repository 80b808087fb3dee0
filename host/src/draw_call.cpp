// Names of the kinds of recorded draw calls, for messages and dumps.
#include <khost/draw_call.h>

namespace khost {

const char* toString(DrawCall::Kind kind) {
    switch (kind) {
        case DrawCall::BeginDrawable:
            return "BeginDrawable";
        case DrawCall::EndDrawable:
            return "EndDrawable";
        case DrawCall::BeginDrawInXray:
            return "BeginDrawInXray";
        case DrawCall::EndDrawInXray:
            return "EndDrawInXray";
        case DrawCall::SetColor:
            return "SetColor";
        case DrawCall::SetPointSize:
            return "SetPointSize";
        case DrawCall::SetLineWidth:
            return "SetLineWidth";
        case DrawCall::Mesh:
            return "Mesh";
        case DrawCall::Circle2d:
            return "Circle2d";
    }
    return "Unknown";
}

}  // namespace khost
