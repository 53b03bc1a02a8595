// Colour values of the text control, the LAYOUT/COLOUR splitting of language file values
// and the library's dotted addresses. Input: a count byte, then the text (see input.h).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Colour.h"
#include "Ipv4Text.h"
#include "ValueForms.h"
#include "input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int count = data[0] % 8;
    const std::wstring value = FuzzText(data + 1, size - 1);

    const tk::Colour colour =
        tk::ParseColourValue(value, [](int index) { return tk::MakeColour(0, 0, static_cast<unsigned>(index)); });
    if ((colour >> 24) != 0)
        std::abort();
    if (const auto named = tk::FindColourName(value); named && !(*named & tk::kSystemColourBit) && *named != colour)
        std::abort();

    int numbers[8] = {};
    const std::wstring rest = SplitLeadingNumbers(value, count, numbers);
    // What is left is always the end of the value.
    if (rest.size() > value.size() || value.compare(value.size() - rest.size(), rest.size(), rest) != 0)
        std::abort();
    if (value.find(L',') == std::wstring::npos) {
        if (rest != value)
            std::abort();
        for (int i = 0; i < count; ++i)
            if (numbers[i] != 0)
                std::abort();
    }
    const LayoutValue layout = ParseLayout(value);
    const ColourValue parsed = ParseColour(value);
    if (parsed.Colour() > 0xFFFFFFu || layout.text.size() > value.size())
        std::abort();

    // A strict address is exactly the address printed back, as the system parser reads it.
    if (const auto address = keplo::ParseDottedIpv4(value)) {
        std::wstring printed;
        for (int shift = 24; shift >= 0; shift -= 8)
            printed += (shift < 24 ? L"." : L"") + std::to_wstring((*address >> shift) & 0xFF);
        if (printed != value || keplo::ParseIpv4(std::string(value.begin(), value.end())) != *address)
            std::abort();
    }
    return 0;
}
