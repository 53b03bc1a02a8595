// A small JSON writer for the router's state and journal.
//
// Strings are byte strings: every byte becomes the code point of the same
// value (U+0000 to U+00FF), so a reader gets the exact bytes back by encoding
// the decoded text as Latin-1. Everything outside printable ASCII is escaped,
// which keeps the output plain ASCII whatever the wizard sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace routerlab {

std::string JsonQuote(std::string_view bytes);

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view name);
    JsonWriter& String(std::string_view bytes);
    JsonWriter& Int(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // Inserts an already serialised value (an object or array built elsewhere).
    JsonWriter& Raw(std::string_view json);

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();

    std::string m_out;
    std::vector<bool> m_hasItem; // per open container: an item was written
    bool m_afterKey = false;
};

} // namespace routerlab
