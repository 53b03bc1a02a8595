#pragma once
// The router settings stage in portable terms: the checks of the user's
// entries, the four router forms (handler, owning page, body), the exchange
// that sends one, and what the router's answer means. No Windows headers.
#include "RouterText.h"
#include "WizardCore.h"

#include <string>
#include <string_view>
#include <vector>

// The public time server (NIST, time-a-g) that every router is told to use.
inline constexpr std::wstring_view kTimeServer = L"129.6.15.28";

// Length limits of the entry fields.
inline constexpr int kAdminPasswordLimit = 30;
inline constexpr int kWirelessNameLimit = 32;
inline constexpr size_t kAdminPasswordMinimum = 5;
// A WPA2 passphrase holds 8 to 63 characters; routers refuse a longer one.
inline constexpr size_t kWirelessKeyMinimum = 8;
inline constexpr int kWirelessKeyLimit = 63;

// The user's values go in escaped: the checks of the pages let only letters
// and digits through, which escaping leaves alone, but the old password may
// come from the password prompt, which checks nothing.
inline RouterPost PasswordForm(std::wstring_view oldPassword, std::wstring_view newPassword)
{
    const std::wstring newValue = EscapeFormValue(newPassword);
    return {L"/goform/formPasswordSetup", L"syspasswd.asp",
            L"oldpass=" + EscapeFormValue(oldPassword) + L"&newpass=" + newValue + L"&confpass=" + newValue +
                L"&save=APPLY&submit-url=%2Fsyspasswd.asp"};
}

// Daylight saving stays off; the zone goes by its position in kTimeZones.
inline RouterPost TimeZoneForm(int position)
{
    return {L"/goform/formTimeZoneSetup", L"systimezone.asp",
            L"TimeZoneSelget=0&startMonthget=1&startDayget=1&endMonthget=1&endDayget=1&TimeZoneSel=" +
                std::to_wstring(position) + L"&TimeServerAddr=" + std::wstring(kTimeServer) +
                L"&B1=APPLY&submit-url=%2Fsystimezone.asp"};
}

// The radio settings are always the same: access point, band 4, channel 11,
// no repeater, the fixed MAC values.
inline constexpr std::wstring_view kWirelessNameTail =
    L"&macAddrValue=0023AEADC126&wlanMac=000000000000&autoMacClone=no&repeaterSSID="
    L"&wlLinkMac1=000000000000&wlLinkMac2=000000000000&wlLinkMac3=000000000000&wlLinkMac4=000000000000"
    L"&B1=APPLY&wlan-url=%2Fwlbasic.asp&wpsStatus=1&wisp=0";

inline RouterPost WirelessNameForm(std::wstring_view ssid)
{
    return {L"/goform/formWlanSetup", L"wlbasic.asp",
            L"apMode=0&band=4&ssid=" + EscapeFormValue(ssid) + L"&chan=11" + std::wstring(kWirelessNameTail)};
}

// WPA2 with the key as a passphrase; the WEP keys are placeholders the router ignores.
inline RouterPost WirelessSecurityForm(std::wstring_view key)
{
    return {L"/goform/formWlEncrypt", L"wlencrypt.asp",
            L"wepEnabled=ON&selected_ssid=0&method=2&length=1&format=2&defaultTxKeyId=1"
            L"&key1=**********&key2=**********&key3=**********&key4=**********"
            L"&wpaCipher=2&pskFormat=0&pskValue=" +
                EscapeFormValue(key) +
                L"&sel1xMode=ON&radiusIP=&radiusPort=1812&radiusPass=&submit-url=%2Fwlencrypt.asp"};
}

// --- the checks of the entries. Each gives the number n of the message
// IDS_ERROR_MSGn to show, or kEntryAccepted.
inline constexpr int kEntryAccepted = 0;

inline bool IsLettersAndDigits(std::wstring_view text)
{
    return CountAlphanumeric(std::wstring(text)) == static_cast<int>(text.size());
}

// The new administrator password and its repetition, checked in this order:
// long enough, both the same (case counts), letters and digits only.
inline int CheckAdminPassword(std::wstring_view password, std::wstring_view repeated)
{
    if (password.size() < kAdminPasswordMinimum)
        return 2;
    if (password != repeated)
        return 4;
    if (!IsLettersAndDigits(repeated))
        return 3;
    return kEntryAccepted;
}

// A list position of the time zone page; CB_ERR and stale positions fail.
inline int CheckTimeZone(int position, int entries)
{
    return position >= 0 && position < entries ? kEntryAccepted : 5;
}

inline int CheckWirelessName(std::wstring_view name)
{
    if (name.empty())
        return 6;
    if (!IsLettersAndDigits(name))
        return 7;
    return kEntryAccepted;
}

// One message for every key the network cannot have: too short, too long,
// or with other characters.
inline int CheckWirelessKey(std::wstring_view key)
{
    const bool fits = key.size() >= kWirelessKeyMinimum && key.size() <= static_cast<size_t>(kWirelessKeyLimit);
    return fits && IsLettersAndDigits(key) ? kEntryAccepted : 8;
}

// --- what the answer to a form post means: the one result of every router
// operation that sends a form.
enum class PostOutcome {
    Taken,   // the router answered with any status but 401 (a redirection is how many say so)
    Refused, // 401: the router did not take the administrator password, nor the form
    Failed,  // no usable answer: the router could not be reached or the library's call failed
    // Only the connection set-up, which looks at the PC before it sends:
    NoRouterAdapter, // no wired adapter with a gateway that gets its address by DHCP
    NotSent,         // no connection type chosen: nothing to send
};

inline PostOutcome OutcomeOfPost(int result, unsigned int status)
{
    if (result != 0)
        return PostOutcome::Failed;
    return status == 401 ? PostOutcome::Refused : PostOutcome::Taken;
}

// Size in characters of the response buffer of every router exchange.
inline constexpr int kRouterBufferChars = 0x10000;

// What a connection that could not be prepared means for the form: the
// connection set-up and the restart stop there (the router is not reached);
// the settings forms are posted all the same, and the post's failure decides.
enum class IfNotPrepared { Stop, PostAnyway };

// The one exchange that sends a form to the router: prepares the connection
// with the wizard's identity and the given administrator password, then
// posts the form with its page as referrer. link is the session's router
// link (Open and Post as the library's calls).
template <typename Link>
PostOutcome PostRouterForm(Link& link, const std::wstring& routerIP, const std::wstring& password,
                           const RouterPost& form, IfNotPrepared ifNotPrepared)
{
    if (link.Open(routerIP, password) != 0 && ifNotPrepared == IfNotPrepared::Stop)
        return PostOutcome::Failed;
    std::vector<wchar_t> response(kRouterBufferChars);
    unsigned int status = 0;
    const int result = link.Post(form.path, RouterPageAddress(routerIP, form.ownerPage), form.body, status,
                                 response.data(), kRouterBufferChars);
    return OutcomeOfPost(result, status);
}
