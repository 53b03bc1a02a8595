// The wireless name, clock and Internet address the wizard reads from a status
// page, whatever a router sends. Input: the page (see input.h).
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "RouterText.h"
#include "StatusText.h"
#include "input.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::wstring page = FuzzText(data, size);

    if (const std::optional<std::wstring> name = ExtractWirelessName(page)) {
        // A piece of the cell: in the page, before its "</td>", trimmed.
        Check(page.find(*name) != std::wstring::npos);
        Check(name->find(L"</td>") == std::wstring::npos);
        Check(name->empty() || (!std::iswspace(static_cast<wint_t>(name->front())) &&
                                !std::iswspace(static_cast<wint_t>(name->back()))));
    }

    if (const std::optional<std::wstring> time = RouterTimeFromStatus(page)) {
        // Five parts from the 20 characters after "Date(", a month of up to 13 digits and a sign, five separators.
        Check(page.find(L"Date(") != std::wstring::npos);
        Check(time->size() <= 20 + 14 + 5);
    }

    if (const std::optional<std::wstring> address = InternetAddressFromStatus(page)) {
        Check(page.find(L"name=\"ip\" value=\"") != std::wstring::npos);
        Check(page.find(*address) != std::wstring::npos);
        Check(address->find(L"\">") == std::wstring::npos);
        Check(*address == TrimBlanks(*address));
    }
    return 0;
}
