#pragma once

#include "ColorTransform.h"
#include "DrawCommand.h"

namespace mc {

// Receives the drawing commands of one frame, in painting order (lowest depth first).
// Masks arrive as beginMask, the mask's drawing, useMask, the masked drawing, endMask; they
// nest. Groups arrive as beginGroup, the children, endGroup.
class RenderBackend {
  public:
    virtual ~RenderBackend() = default;

    virtual void beginFrame(Rgba background) = 0;
    virtual void draw(const DrawCharacter& command) = 0;
    virtual void beginGroup(const GroupStyle& style) = 0;
    virtual void endGroup() = 0;
    virtual void beginMask() = 0;
    virtual void useMask() = 0;
    virtual void endMask() = 0;
    virtual void endFrame() = 0;
};

} // namespace mc
