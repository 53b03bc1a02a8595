#include "Script.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace gui {

namespace {

// Argument kinds: N a number, T a text, K a key name. The last kind repeats
// for commands that take any number of arguments.
struct Command {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    const char* kinds;
};

constexpr size_t kAny = SIZE_MAX;
constexpr Command kCommands[] = {
    {"start", 0, kAny, "T"}, {"page", 1, 1, "N"}, {"click", 1, 1, "N"}, {"notify", 1, 1, "N"},
    {"button", 1, 1, "N"},   {"tick", 1, 1, "N"}, {"focus", 1, 1, "N"}, {"key", 1, 1, "K"},
    {"type", 2, 2, "NT"},    {"set", 2, 2, "NT"}, {"open", 1, 1, "N"},  {"pick", 2, 2, "NT"},
    {"timer", 1, 2, "NN"},   {"box", 0, 1, "N"},  {"text", 1, 1, "N"},  {"expect-text", 2, 2, "NT"},
    {"shot", 1, 1, "T"},     {"close", 0, 0, ""}, {"exit", 0, 1, "N"},  {"sleep", 1, 1, "N"},
};

const Command* FindCommand(const std::string& name)
{
    for (const Command& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

bool IsNumber(const std::string& word)
{
    return !word.empty() && word.size() <= 9 && word.find_first_not_of("0123456789") == std::string::npos;
}

int Number(const std::string& word)
{
    return std::atoi(word.c_str());
}

std::wstring Wide(const std::string& text)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string ArgumentCount(const Command& c)
{
    if (c.maxArgs == c.minArgs)
        return std::to_string(c.minArgs);
    if (c.maxArgs == kAny)
        return std::to_string(c.minArgs) + " or more";
    return std::to_string(c.minArgs) + " to " + std::to_string(c.maxArgs);
}

bool CheckStep(const Step& step, std::string* error)
{
    const std::string& name = step.words.front();
    const Command* command = FindCommand(name);
    if (!command) {
        *error = "unknown command \"" + name + "\"";
        return false;
    }
    const size_t args = step.words.size() - 1;
    if (args < command->minArgs || args > command->maxArgs) {
        *error = name + " takes " + ArgumentCount(*command) + " arguments, not " + std::to_string(args);
        return false;
    }
    const std::string kinds = command->kinds;
    for (size_t i = 0; i < args; ++i) {
        const char kind = kinds.empty() ? 'T' : kinds[std::min(i, kinds.size() - 1)];
        const std::string& word = step.words[i + 1];
        if (kind == 'N' && !IsNumber(word)) {
            *error = name + ": \"" + word + "\" is not a number";
            return false;
        }
        if (kind == 'K' && KeyCode(word) == 0) {
            *error = name + ": unknown key \"" + word + "\"";
            return false;
        }
    }
    return true;
}

void RunStep(const Step& step, Wizard& gui, FILE* out)
{
    const std::vector<std::string>& w = step.words;
    const std::string& name = w.front();
    auto id = [&](size_t i) { return Number(w[i]); };

    if (name == "start") {
        Launch launch;
        for (size_t i = 1; i < w.size(); ++i)
            launch.arguments += (i > 1 ? L" " : L"") + Wide(w[i]);
        gui.Start(launch);
    } else if (name == "page") {
        gui.ExpectPage(id(1));
    } else if (name == "click" || name == "notify") {
        gui.ClickLabel(id(1), name == "click" ? Input::Real : Input::Message);
    } else if (name == "button") {
        gui.ClickButton(id(1));
    } else if (name == "tick") {
        fprintf(out, "    now %s\n", gui.Tick(id(1)) ? "ticked" : "clear");
    } else if (name == "focus") {
        gui.Focus(id(1));
    } else if (name == "key") {
        gui.PressKey(KeyCode(w[1]));
    } else if (name == "type") {
        gui.TypeText(id(1), Wide(w[2]));
    } else if (name == "set") {
        gui.SetText(id(1), Wide(w[2]));
    } else if (name == "open") {
        gui.OpenList(id(1));
    } else if (name == "pick") {
        if (IsNumber(w[2]))
            gui.PickListEntry(id(1), Number(w[2]));
        else
            gui.PickListEntry(id(1), Wide(w[2]));
    } else if (name == "timer") {
        const int count = w.size() > 2 ? Number(w[2]) : 1;
        fprintf(out, "    %d of %d ticks delivered\n", gui.TimerTicks(static_cast<UINT_PTR>(id(1)), count), count);
    } else if (name == "box") {
        const MessageBoxInfo box = gui.WaitForMessageBox();
        fprintf(out, "    message box \"%s\": %s\n", Narrow(box.caption).c_str(), Narrow(box.text).c_str());
        gui.AnswerMessageBox(w.size() > 1 ? id(1) : IDOK);
    } else if (name == "text") {
        fprintf(out, "    \"%s\"\n", Narrow(gui.Text(id(1))).c_str());
    } else if (name == "expect-text") {
        const std::wstring text = gui.Text(id(1));
        if (text != Wide(w[2]))
            throw DriverError("control " + w[1] + " shows \"" + Narrow(text) + "\", not \"" + w[2] + "\"");
    } else if (name == "shot") {
        fprintf(out, "    %s\n", Narrow(gui.Screenshot(Wide(w[1]))).c_str());
    } else if (name == "close") {
        gui.Close();
    } else if (name == "exit") {
        const DWORD code = gui.WaitForExit(Wizard::kStartLimitMs);
        if (w.size() > 1 && code != static_cast<DWORD>(id(1)))
            throw DriverError("the program ended with exit code " + std::to_string(code) + ", not " + w[1]);
        fprintf(out, "    exit code %lu\n", static_cast<unsigned long>(code));
    } else if (name == "sleep") {
        ::Sleep(static_cast<DWORD>(id(1)));
    }
}

} // namespace

bool SplitWords(std::string_view line, std::vector<std::string>* words, std::string* error)
{
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        std::string word;
        bool quoted = false;
        while (i < line.size()) {
            const char d = line[i];
            if (quoted) {
                if (d == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    word += line[i + 1];
                    i += 2;
                    continue;
                }
                if (d == '"')
                    quoted = false;
                else
                    word += d;
            } else if (d == '"') {
                quoted = true;
            } else if (d == ' ' || d == '\t' || d == '\r') {
                break;
            } else {
                word += d;
            }
            ++i;
        }
        if (quoted) {
            *error = "a quote is not closed";
            return false;
        }
        words->push_back(word);
    }
    return true;
}

bool ParseScript(std::string_view text, std::vector<Step>* steps, std::string* error)
{
    steps->clear();
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++lineNumber;
        Step step;
        step.line = lineNumber;
        std::string reason;
        if (!SplitWords(text.substr(start, end - start), &step.words, &reason) ||
            (!step.words.empty() && !CheckStep(step, &reason))) {
            *error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
        if (!step.words.empty())
            steps->push_back(std::move(step));
        start = end + 1;
    }
    return true;
}

void RunScript(const std::vector<Step>& steps, Wizard& gui, FILE* out)
{
    for (const Step& step : steps) {
        std::string shown;
        for (const std::string& word : step.words)
            shown += (shown.empty() ? "" : " ") + word;
        fprintf(out, "line %d: %s\n", step.line, shown.c_str());
        fflush(out);
        try {
            RunStep(step, gui, out);
        } catch (const DriverError& e) {
            throw DriverError("line " + std::to_string(step.line) + " (" + shown + "): " + e.what());
        }
    }
}

} // namespace gui
