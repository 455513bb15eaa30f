#include "JsonTextWriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace uikit {

void JsonTextWriter::beforeValue()
{
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    if (level.object) {
        m_afterKey = false;
        return;
    }
    if (level.count++ > 0)
        m_out += ',';
}

void JsonTextWriter::closeMember()
{
    if (!m_levels.empty() && m_levels.back().object)
        m_members.back().end = m_out.size();
}

void JsonTextWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    m_levels.push_back({ true, m_out.size(), 0, m_members.size() });
}

void JsonTextWriter::key(std::string_view name)
{
    Level& level = m_levels.back();
    if (level.count++ > 0)
        m_out += ',';
    size_t begin = m_out.size();
    // Keys are the snapshot's own plain ASCII names, so their text between
    // the quotes is the key itself and sorts as the key does.
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_members.push_back({ begin + 1, begin + 1 + name.size(), begin, 0 });
    m_afterKey = true;
}

void JsonTextWriter::endObject()
{
    Level level = m_levels.back();
    m_levels.pop_back();
    auto keyOf = [&](const Member& member, const std::string& text, size_t offset) {
        return std::string_view(text).substr(member.keyBegin - offset, member.keyEnd - member.keyBegin);
    };
    bool sorted = true;
    for (size_t i = level.firstMember + 1; i < m_members.size() && sorted; ++i)
        sorted = keyOf(m_members[i - 1], m_out, 0) < keyOf(m_members[i], m_out, 0);
    if (!sorted) {
        // The tree library keeps members in key order and a key once, with
        // its last value: order them so, from a copy of their text.
        auto first = m_members.begin() + static_cast<std::ptrdiff_t>(level.firstMember);
        m_scratch.assign(m_out, level.start, std::string::npos);
        auto byKey = [&](const Member& a, const Member& b) { return keyOf(a, m_scratch, level.start) < keyOf(b, m_scratch, level.start); };
        std::stable_sort(first, m_members.end(), byKey);
        m_out.resize(level.start);
        bool written = false;
        for (auto it = first; it != m_members.end(); ++it) {
            if (it + 1 != m_members.end() && !byKey(*it, *(it + 1)))
                continue; // a later value of the same key wins
            if (written)
                m_out += ',';
            m_out.append(m_scratch, it->begin - level.start, it->end - it->begin);
            written = true;
        }
    }
    m_members.resize(level.firstMember);
    m_out += '}';
    closeMember();
}

void JsonTextWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    m_levels.push_back({ false, m_out.size(), 0, m_members.size() });
}

void JsonTextWriter::endArray()
{
    m_levels.pop_back();
    m_out += ']';
    closeMember();
}

void JsonTextWriter::null()
{
    beforeValue();
    m_out += "null";
    closeMember();
}

void JsonTextWriter::boolean(bool value)
{
    beforeValue();
    m_out += value ? "true" : "false";
    closeMember();
}

void JsonTextWriter::integer(int64_t value)
{
    beforeValue();
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, result.ptr);
    closeMember();
}

void JsonTextWriter::number(double value)
{
    beforeValue();
    if (!std::isfinite(value)) {
        m_out += "null";
    } else if (value == std::trunc(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
        // Whole numbers (most coordinates and sizes) as the tree library
        // writes them, digits and ".0", without its general algorithm: it
        // writes fixed notation up to fifteen digits.
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(value));
        m_out.append(buffer, result.ptr);
        m_out += ".0";
    } else {
        // The tree library's own shortest round-trip form ("320.0", "0.95").
        char buffer[64];
        char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, end);
    }
    closeMember();
}

void JsonTextWriter::string(std::string_view text)
{
    beforeValue();
    bool plain = std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; });
    if (plain) {
        m_out += '"';
        m_out += text;
        m_out += '"';
    } else {
        // Escapes, UTF-8 and the replacement of broken UTF-8 exactly as the
        // tree library does them; such texts are few on a screen.
        m_out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    closeMember();
}

} // namespace uikit
