#pragma once
// Screen capture to PNG and back, through GDI+.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace gui {

// Copies a rectangle of the screen (what a person sees there, pop-ups and
// open lists included) into a PNG file. False with the reason on failure.
bool SaveScreenPng(const RECT& area, const std::wstring& path, std::string* error);

// A picture read back from a file, for checks on screenshots.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row by row, top row first

    COLORREF At(int x, int y) const
    {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};
std::optional<Picture> LoadPicture(const std::wstring& path);

} // namespace gui
