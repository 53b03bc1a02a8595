// Router and person values on their way into page texts, the summary file and
// the ".htm" handler's command line: shown as they are, opening no tag or link
// (only text between the tags around it), one argument. Input: the value.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Markup.h"
#include "QrCode.h"
#include "SummaryText.h"
#include "input.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// The arguments of a command line as the C runtime splits them.
std::vector<std::wstring> SplitArguments(std::wstring_view line)
{
    std::vector<std::wstring> args;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
            ++i;
        if (i >= line.size())
            return args;
        std::wstring arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t'))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == L'"') {
                arg.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1)
                    arg += L'"';
                else
                    quoted = !quoted;
                ++i;
            } else {
                arg.append(backslashes, L'\\');
                if (i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t')))
                    arg += line[i++];
            }
        }
        args.push_back(arg);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::wstring value = FuzzText(data, size);
    const std::wstring escaped = tk::EscapeMarkup(value);
    Check(escaped.find_first_of(L"<>\"") == std::wstring::npos);

    // Between two tags of a page text the value is one piece of text that
    // reads back as the value itself (a raw mark character of the control
    // aside, which it never shows).
    const std::wstring marked = tk::MarkEntities(FillMarkup(L"<B>%s</B>", {value}));
    tk::MarkupTokenizer tokens(marked);
    std::vector<tk::Token> all;
    for (tk::Token token; tokens.Next(token);)
        all.push_back(token);
    Check(all.size() >= 2 && all.front().kind == tk::TokenKind::BoldOn && all.back().kind == tk::TokenKind::BoldOff);
    std::wstring shown;
    for (size_t i = 1; i + 1 < all.size(); ++i) {
        Check(all[i].kind == tk::TokenKind::Text);
        shown += all[i].text;
    }
    if (value.find(tk::kEntityMark) == std::wstring::npos)
        Check(tk::DecodeMarks(shown) == value);

    // The summary file keeps its own nine line breaks and no tag of a value.
    // A key too long for any code keeps the encoder (milliseconds a run under
    // the sanitizers; it has tests of its own) out: no join code follows.
    const std::wstring key = std::wstring(kQrMaxBytes, L'k') + value;
    const std::wstring file = SettingsFileText(L"192.168.2.1", {value, value, key, value, value}, L"Scan");
    Check(std::count(file.begin(), file.end(), L'<') == 9);

    // The link target is exactly one argument after the handler.
    const std::vector<std::wstring> args = SplitArguments(tk::LinkHandlerCommand(L"b.exe \"%1\"", value));
    Check(args.size() == 2 && args[0] == L"b.exe" && args[1] == value);
    return 0;
}
