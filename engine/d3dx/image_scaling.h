// Bringing an A8R8G8B8 image to another size, for texture levels. No Windows headers.
#pragma once

#include "argb_image.h"
#include "texture_layout.h"

namespace d3dx {

// The image at width x height (both at least 1) by `filter`. Channels are filtered each on its
// own, so transparent black (colour-keyed) pixels darken the colours they are averaged with.
// Averages round to nearest; an image of its own size comes back unchanged whatever the filter.
ArgbImage Resized(const ArgbImage& source, uint32_t width, uint32_t height, Filter filter);

} // namespace d3dx
