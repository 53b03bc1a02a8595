#pragma once
// The two facts the wizard reads back from the restarted router: its clock
// from the system status page and its Internet address from the Internet
// status page. Portable: no Windows headers.
#include <optional>
#include <string>
#include <string_view>

// The router's time as year/month/day hour:minute:second, from the first
// script date "Date(year,month0,day,hour,minute,second)" of the page. Only
// the 20 characters after "Date(" are read: a date written longer loses its
// last parts, the seconds first. The month is counted from 0 by the page and
// written from 1 here; the other parts are copied as they stand. nullopt when
// the page holds no "Date(" at all, so that the caller keeps what it had.
std::optional<std::wstring> RouterTimeFromStatus(std::wstring_view page);

// The value of the page's input field named ip, without the blanks around
// it; empty when the value is not closed by a quote and ">". nullopt when the
// page has no such field, so that the caller keeps what it had.
std::optional<std::wstring> InternetAddressFromStatus(std::wstring_view page);

// The text without white space (the C library's blanks) at its end and start.
std::wstring TrimBlanks(std::wstring_view text);
