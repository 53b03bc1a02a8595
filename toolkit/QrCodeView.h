#pragma once
// A QR symbol on the screen, crisp: each module a square of whole pixels,
// nothing smoothed, on white with the light border of four modules that
// readers need. Sized by its page to the symbol's side at the chosen scale.
#include "Controls.h"

#include <cstdint>
#include <vector>

class CQrCodeView : public CStatic {
public:
    static constexpr int kQuietZone = 4;
    // Pixels a module: as large as a page's room allows up to the first; never
    // below the second, as a phone's camera does not reliably resolve a
    // module of one pixel on a screen.
    static constexpr int kLargestScale = 4;
    static constexpr int kSmallestScale = 2;

    // The symbol: size modules a side, row by row, 1 = dark.
    void SetModules(int size, std::vector<uint8_t> modules);
    // Takes the largest scale at which the symbol and its border fit a square
    // of room pixels a side, and gives the side they take; 0 when even the
    // smallest scale is too large (the scale then stays as it was).
    int FitInto(int room);
    // Modules across, the border included.
    int Across() const { return m_size + 2 * kQuietZone; }

    // The symbol from the top left of the client area, white around it;
    // WM_PAINT and WM_PRINTCLIENT both come here.
    void Paint(HDC dc) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int m_size = 0;
    std::vector<uint8_t> m_modules;
    int m_scale = kLargestScale;
};
