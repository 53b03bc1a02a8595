// What the substitute router stores, what it can be told to get wrong, and its
// clock. Pure data and conversions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace routerlab {

enum class WanType { None, Dynamic, Pppoe, BigPond, Other };

std::string_view WanTypeName(WanType type);
std::optional<WanType> WanTypeFromName(std::string_view name);

struct WanSettings {
    WanType type = WanType::Dynamic;
    int mode = 0; // the form's wanMode as last sent
    std::string user;
    std::string password;
    std::string hostName;
};

// The settings a router keeps in its flash: saved by the forms, put into
// effect by a restart.
struct RouterSettings {
    WanSettings wan;
    int timeZone = 22; // position in the router's zone list
    std::string timeServer;
    std::string ssid = "default";
    int channel = 11;
    std::string security = "none"; // "none" or "WPA2"
    std::string wpaKey;
};

constexpr int kTimeZoneCount = 65;

// Offset from UTC of the zone at a list position, in minutes.
int ZoneOffsetMinutes(int zone);

// A fault that applies to every path or to the listed paths only.
class FaultSwitch {
public:
    // "off", "on", or a comma-separated list of paths ("/stadevice.asp,/goform/formReboot").
    bool Parse(std::string_view text);
    bool Applies(std::string_view path) const;
    bool IsOn() const { return m_on; }
    std::string Text() const;

private:
    bool m_on = false;
    std::vector<std::string> m_paths; // empty while on: every path
};

struct Faults {
    FaultSwitch refusePassword;
    FaultSwitch status500;
    FaultSwitch slow;
    FaultSwitch reset;
    FaultSwitch bigPages;
    FaultSwitch noMarkers;
    FaultSwitch gzip;
    FaultSwitch redirect;
    bool noReturn = false;
    bool internetDown = false;
};

// A calendar date and time of day, month counted from 0 as scripts count it.
struct CivilTime {
    int year = 1970;
    int month0 = 0;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

CivilTime CivilFromEpoch(std::int64_t seconds);
std::int64_t EpochFromCivil(const CivilTime& time);

// "YYYY-MM-DDTHH:MM:SS" (a blank may stand for the T).
std::optional<std::int64_t> ParseClock(std::string_view text);
std::string FormatClock(std::int64_t seconds);

// "on"/"off" and their usual spellings.
std::optional<bool> ParseSwitch(std::string_view text);
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

} // namespace routerlab
