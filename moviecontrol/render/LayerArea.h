#pragma once

#include <QMargins>
#include <QRect>
#include <optional>

#include "DrawCommand.h"

namespace mc {

// The part of a parent picture that a group's layer must cover, in the parent's device
// pixels, so that clearing and composing it costs what the group covers rather than the
// whole view. `visible` is what of the parent can still show (its device within its clip);
// `reach` how far the group's filters spread past their content. Pixels within reach of
// the visible part count, so that blur from just outside still comes in; where `extent`
// (what the group's drawing covers, stage twips) is known, only that much of it, with slack
// for antialiasing and strokes. Empty when nothing of the group can show.
QRect groupLayerArea(QRect visible, QMargins reach, const std::optional<Bounds>& extent,
                     const Transform& stageToDevice);

// What a group's drawing is known to cover: a cached bitmap's box is where players place it,
// which its drawing may pass, while other groups' boxes bound all they draw.
std::optional<Bounds> groupExtent(const GroupStyle& style);

} // namespace mc
