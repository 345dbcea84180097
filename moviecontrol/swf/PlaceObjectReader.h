#pragma once

#include "ReadContext.h"
#include "swf/ByteReader.h"
#include "swf/ControlTags.h"

namespace swf {

// PlaceObject (version 1), PlaceObject2 (2) and PlaceObject3 (3); r spans the tag body.
PlaceObject readPlaceObject(ByteReader& r, ReadContext& ctx, std::uint8_t placeVersion);

} // namespace swf
