#include "ReadingOrder.h"

#include <algorithm>
#include <numeric>

namespace tk {

std::vector<size_t> ReadingOrder(std::span<const LayoutRect> places)
{
    std::vector<size_t> order(places.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return places[a].top < places[b].top; });

    // Rows of a few pixels' difference in height are one row: the middle of
    // the row's first place, not its top, bounds the row.
    for (auto row = order.begin(); row != order.end();) {
        const LayoutRect& first = places[*row];
        const long middle = (static_cast<long>(first.top) + first.bottom) / 2;
        auto end = std::find_if(row + 1, order.end(),
                                [&](size_t i) { return places[i].top > first.top && places[i].top >= middle; });
        std::stable_sort(row, end, [&](size_t a, size_t b) { return places[a].left < places[b].left; });
        row = end;
    }
    return order;
}

} // namespace tk
