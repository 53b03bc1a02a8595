#pragma once
// The order in which a person reads the controls of a page: top to bottom,
// and left to right along a row. Portable; the page's tab order follows it.
#include <cstddef>
#include <span>
#include <vector>

#include "TextLayout.h"

namespace tk {

// The indices of places in reading order. A place joins the row of the
// topmost place not yet ordered when its top lies above that place's middle;
// each row goes left to right, and equal places keep their given order.
std::vector<size_t> ReadingOrder(std::span<const LayoutRect> places);

} // namespace tk
