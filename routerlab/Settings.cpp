#include "Settings.h"

#include <array>
#include <cstdio>

namespace routerlab {

std::string_view WanTypeName(WanType type)
{
    switch (type) {
    case WanType::None:
        return "none";
    case WanType::Dynamic:
        return "dhcp";
    case WanType::Pppoe:
        return "pppoe";
    case WanType::BigPond:
        return "bigpond";
    case WanType::Other:
        return "other";
    }
    return "other";
}

std::optional<WanType> WanTypeFromName(std::string_view name)
{
    for (WanType type : {WanType::None, WanType::Dynamic, WanType::Pppoe, WanType::BigPond}) {
        if (WanTypeName(type) == name)
            return type;
    }
    return std::nullopt;
}

int ZoneOffsetMinutes(int zone)
{
    // Offsets of the router's zone list, in list order.
    static constexpr std::array<int, kTimeZoneCount> kOffsets = {
        -720, -660, -600, -540, -480, -420, -420, -360, -360, -360, -300, -300, -300, -240, -240, -240, -210,
        -180, -180, -120, -60,  0,    0,    60,   60,   60,   60,   60,   60,   120,  120,  120,  120,  120,
        120,  180,  180,  180,  210,  240,  240,  270,  300,  300,  330,  360,  360,  420,  480,  480,  480,
        480,  540,  540,  540,  570,  570,  600,  600,  600,  600,  600,  660,  720,  720};
    if (zone < 0 || zone >= kTimeZoneCount)
        return 0;
    return kOffsets[static_cast<std::size_t>(zone)];
}

bool FaultSwitch::Parse(std::string_view text)
{
    if (const auto flag = ParseSwitch(text)) {
        m_on = *flag;
        m_paths.clear();
        return true;
    }
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view path = text.substr(start, end - start);
        if (path.empty() || path.front() != '/')
            return false;
        paths.emplace_back(path);
        start = end + 1;
    }
    m_on = true;
    m_paths = std::move(paths);
    return true;
}

bool FaultSwitch::Applies(std::string_view path) const
{
    if (!m_on)
        return false;
    if (m_paths.empty())
        return true;
    for (const auto& p : m_paths) {
        if (p == path)
            return true;
    }
    return false;
}

std::string FaultSwitch::Text() const
{
    if (!m_on)
        return "off";
    if (m_paths.empty())
        return "on";
    std::string text;
    for (const auto& p : m_paths) {
        if (!text.empty())
            text += ',';
        text += p;
    }
    return text;
}

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(int year, int month1)
{
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month1 == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month1 - 1)];
}

} // namespace

CivilTime CivilFromEpoch(std::int64_t seconds)
{
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    CivilTime t;
    t.year = static_cast<int>(y);
    t.month0 = m - 1;
    t.day = d;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::int64_t EpochFromCivil(const CivilTime& t)
{
    return DaysFromCivil(t.year, t.month0 + 1, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<std::int64_t> ParseClock(std::string_view text)
{
    // Fixed layout: 19 characters, digits where the pattern has them.
    constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:dd";
    if (text.size() != kPattern.size())
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char p = kPattern[i];
        const char c = text[i];
        if (p == 'd' ? (c < '0' || c > '9') : (p == 'T' ? (c != 'T' && c != ' ') : c != p)) {
            return std::nullopt;
        }
    }
    auto num = [&](std::size_t pos, std::size_t len) {
        int v = 0;
        for (std::size_t i = pos; i < pos + len; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    CivilTime t;
    t.year = num(0, 4);
    const int month1 = num(5, 2);
    t.day = num(8, 2);
    t.hour = num(11, 2);
    t.minute = num(14, 2);
    t.second = num(17, 2);
    if (t.year < 1970 || month1 < 1 || month1 > 12 || t.day < 1 || t.day > DaysInMonth(t.year, month1) || t.hour > 23 ||
        t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    t.month0 = month1 - 1;
    return EpochFromCivil(t);
}

std::string FormatClock(std::int64_t seconds)
{
    const CivilTime t = CivilFromEpoch(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month0 + 1, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::optional<bool> ParseSwitch(std::string_view text)
{
    for (std::string_view on : {"on", "1", "true", "yes"}) {
        if (text == on)
            return true;
    }
    for (std::string_view off : {"off", "0", "false", "no"}) {
        if (text == off)
            return false;
    }
    return std::nullopt;
}

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max)
{
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '-') {
        negative = true;
        i = 1;
        if (text.size() == 1)
            return std::nullopt;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

} // namespace routerlab
