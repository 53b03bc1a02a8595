#include "TabOrder.h"

#include "ReadingOrder.h"

#include <vector>

namespace {

bool IsRadio(HWND control)
{
    wchar_t name[16] = L"";
    ::GetClassNameW(control, name, 16);
    const LONG_PTR type = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(name, L"Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

tk::LayoutRect PlaceIn(HWND dialog, HWND control)
{
    RECT rc{};
    ::GetWindowRect(control, &rc);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return {rc.left, rc.top, rc.right, rc.bottom};
}

// One control, or a radio group, in the z-order.
struct Unit {
    std::vector<HWND> windows;
    bool takesFocus = false;
    bool radios = false;
};

} // namespace

void ArrangeTabOrder(HWND dialog)
{
    std::vector<Unit> units;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        const bool radio = IsRadio(child);
        if (radio && !(style & WS_GROUP) && !units.empty() && units.back().radios) {
            units.back().windows.push_back(child);
            continue;
        }
        units.push_back({{child}, radio || (style & WS_TABSTOP) != 0, radio});
    }

    std::vector<size_t> focusable;
    std::vector<tk::LayoutRect> places;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i].takesFocus) {
            focusable.push_back(i);
            places.push_back(PlaceIn(dialog, units[i].windows.front()));
        }
    }
    const std::vector<size_t> order = tk::ReadingOrder(places);

    std::vector<HWND> now, wanted;
    size_t next = 0;
    for (const Unit& unit : units) {
        now.insert(now.end(), unit.windows.begin(), unit.windows.end());
        const Unit& placed = unit.takesFocus ? units[focusable[order[next++]]] : unit;
        wanted.insert(wanted.end(), placed.windows.begin(), placed.windows.end());
    }
    if (wanted == now)
        return;
    HWND after = HWND_TOP;
    for (HWND window : wanted) {
        ::SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        after = window;
    }
}
