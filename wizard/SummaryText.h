#pragma once
// The set-up summary as text: the settings file's one line of HTML-style
// text and the page texts filled from the language file's formats.
// Portable: no Windows headers.
#include <initializer_list>
#include <string>
#include <string_view>

struct QrMatrix;

// What the summary tells about one run.
struct SummaryValues {
    std::wstring adminPassword;
    std::wstring ssid;
    std::wstring wirelessKey;
    std::wstring systemTime;
    std::wstring internetIP;
};

// A language file's format with each "%s" replaced by the next value (by
// nothing once the values are used up) and "%%" by one "%". Values are only
// ever inserted, never read as formats, so a "%" in a value stays as it is;
// any other "%" of the format is kept too.
std::wstring FillFormat(std::wstring_view format, std::initializer_list<std::wstring_view> values);

// FillFormat for a text of the text control: the values come from the router
// or from the person, so each is escaped and shows as it is, never as markup.
std::wstring FillMarkup(std::wstring_view format, std::initializer_list<std::wstring_view> values);

// The settings file's text: the eight pieces in their order, without line
// ends; the values escaped, as the file is read as HTML. Then the code that
// joins a phone to the wireless network, with joinCaption (JoinCodeHtml).
std::wstring SettingsFileText(std::wstring_view webUri, const SummaryValues& values, std::wstring_view joinCaption);

// The end of the settings file: two line breaks, the QR code of the network's
// join text as a drawing, a break and the caption, escaped. Empty when the
// name and key make a text too long for a code (the pages' limits never do).
std::wstring JoinCodeHtml(std::wstring_view ssid, std::wstring_view key, std::wstring_view caption);

// A QR symbol as inline SVG: 4 cm a side, its quiet zone included, white
// under one path of the dark modules (a row's run of them is one rectangle).
// Fills are drawing, not background, so browsers print them by default.
std::wstring QrSvg(const QrMatrix& code);

// The completion page's column of settings: password, wireless name, key,
// router time and Internet address, in that order, each escaped.
std::wstring CompletionText(std::wstring_view format, const SummaryValues& values);

// A device instruction text: the wireless name, then the key, both escaped.
std::wstring JoiningText(std::wstring_view format, const SummaryValues& values);

// The text as UTF-8 behind a byte-order mark, for a file that must keep
// characters the 8-bit code page has no place for. A lone surrogate, which
// no encoding can carry, becomes U+FFFD.
std::string Utf8WithBom(std::wstring_view text);
