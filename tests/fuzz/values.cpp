// Colour values of the text control and the LAYOUT/COLOUR splitting of
// language file values. Input: a count byte, then the text (see input.h).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Colour.h"
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
    return 0;
}
