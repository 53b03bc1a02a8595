#pragma once
// QR codes that phones scan to join the new wireless network: byte mode,
// error correction level M, versions 1 to 10.
// Portable: no Windows headers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The most bytes a version 10 symbol carries at level M.
inline constexpr size_t kQrMaxBytes = 213;
// The light border that readers need around a symbol, in modules on each side.
inline constexpr int kQrQuietZone = 4;

struct QrMatrix {
    int size = 0;                 // modules on a side: 17 + 4 * version
    std::vector<uint8_t> modules; // row by row, 1 = dark
    int mask = 0;                 // 0 to 7
    int version = 0;              // 1 to 10

    // Outside the symbol lies its quiet zone, which is light.
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < size && y < size && modules[size_t(y) * size + x] != 0;
    }
};

// The bytes in the smallest version that holds them, with the mask of the
// lowest penalty (the lowest number among equals). Nothing when the bytes
// are more than kQrMaxBytes.
std::optional<QrMatrix> EncodeQr(std::string_view bytes);

// The text that joins a phone to a WPA network, "WIFI:T:WPA;S:<name>;P:<key>;;",
// with \ ; , : and " of the name and the key escaped by a backslash; UTF-8.
std::string WifiJoinText(std::wstring_view ssid, std::wstring_view key);
