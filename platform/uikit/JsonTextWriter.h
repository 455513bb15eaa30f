// Writes JSON text straight into a string, byte for byte as nlohmann::json's
// dump(-1, ' ', false, error_handler_t::replace) writes the same document:
// object members sorted by key (a key written twice keeps its last value),
// numbers and escapes as that library writes them. The screen snapshot is
// written this way because building the tree first cost more than
// describing the views; whoever reads the text back gets the tree it would
// have built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace uikit {

class JsonTextWriter {
public:
    explicit JsonTextWriter(std::string& out)
        : m_out(out)
    {
    }

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // The key of the next value; only inside an object.
    void key(std::string_view);

    void null();
    void boolean(bool);
    void integer(int64_t);
    void number(double); // not finite: null, as the tree library writes it
    void string(std::string_view);

    // key(name) followed by the value.
    template <class Value>
    void member(std::string_view name, const Value& value)
    {
        key(name);
        write(value);
    }

    void write(std::nullptr_t) { null(); }
    void write(bool value) { boolean(value); }
    void write(double value) { number(value); }
    void write(std::string_view value) { string(value); }
    void write(const std::string& value) { string(value); }
    void write(const char* value) { string(value); }
    template <class Integer>
    requires(std::is_integral_v<Integer> || std::is_enum_v<Integer>) void write(Integer value)
    {
        integer(static_cast<int64_t>(value));
    }

private:
    struct Member {
        size_t keyBegin;
        size_t keyEnd;
        size_t begin; // the member's text, "key":value, without the comma
        size_t end;
    };
    struct Level {
        bool object;
        size_t start; // just after the opening bracket
        size_t count { 0 };
        size_t firstMember; // into m_members
    };

    void beforeValue();
    void closeMember();

    std::string& m_out;
    std::vector<Level> m_levels;
    std::vector<Member> m_members; // of every open object, innermost last
    std::string m_scratch;
    bool m_afterKey { false };
};

} // namespace uikit
