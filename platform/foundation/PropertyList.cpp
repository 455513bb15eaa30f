#include "PropertyList.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <ostream>

namespace foundation {

PlistValue::PlistValue()
    : m_storage(std::string())
{
}

PlistValue::PlistValue(std::string value)
    : m_storage(std::move(value))
{
}

PlistValue::PlistValue(std::string_view value)
    : m_storage(std::string(value))
{
}

PlistValue::PlistValue(const char* value)
    : m_storage(std::string(value ? value : ""))
{
}

PlistValue::PlistValue(bool value)
    : m_storage(value)
{
}

PlistValue::PlistValue(double value)
    : m_storage(value)
{
}

PlistValue::PlistValue(PlistData value)
    : m_storage(detail::CowBox<PlistData>(std::move(value)))
{
}

PlistValue::PlistValue(PlistDate value)
    : m_storage(value)
{
}

PlistValue::PlistValue(PlistArray value)
    : m_storage(detail::CowBox<PlistArray>(std::move(value)))
{
}

PlistValue::PlistValue(PlistDictionary value)
    : m_storage(detail::CowBox<PlistDictionary>(std::move(value)))
{
}

PlistValue::PlistValue(PlistUid value)
    : m_storage(value)
{
}

PlistValue PlistValue::unsignedInteger(uint64_t value)
{
    PlistValue result;
    result.m_storage = Integer { value, value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) };
    return result;
}

const std::string* PlistValue::asString() const
{
    return std::get_if<std::string>(&m_storage);
}

std::optional<int64_t> PlistValue::asInteger() const
{
    auto* integer = std::get_if<Integer>(&m_storage);
    if (!integer || integer->isUnsigned)
        return std::nullopt;
    return static_cast<int64_t>(integer->bits);
}

std::optional<uint64_t> PlistValue::asUnsignedInteger() const
{
    auto* integer = std::get_if<Integer>(&m_storage);
    if (!integer || (!integer->isUnsigned && static_cast<int64_t>(integer->bits) < 0))
        return std::nullopt;
    return integer->bits;
}

std::optional<double> PlistValue::asReal() const
{
    if (auto* real = std::get_if<double>(&m_storage))
        return *real;
    return std::nullopt;
}

std::optional<bool> PlistValue::asBoolean() const
{
    if (auto* boolean = std::get_if<bool>(&m_storage))
        return *boolean;
    return std::nullopt;
}

const PlistData* PlistValue::asData() const
{
    auto* box = std::get_if<detail::CowBox<PlistData>>(&m_storage);
    return box ? &box->get() : nullptr;
}

std::optional<PlistDate> PlistValue::asDate() const
{
    if (auto* date = std::get_if<PlistDate>(&m_storage))
        return *date;
    return std::nullopt;
}

const PlistArray* PlistValue::asArray() const
{
    auto* box = std::get_if<detail::CowBox<PlistArray>>(&m_storage);
    return box ? &box->get() : nullptr;
}

const PlistDictionary* PlistValue::asDictionary() const
{
    auto* box = std::get_if<detail::CowBox<PlistDictionary>>(&m_storage);
    return box ? &box->get() : nullptr;
}

std::optional<PlistUid> PlistValue::asUid() const
{
    if (auto* uid = std::get_if<PlistUid>(&m_storage))
        return *uid;
    return std::nullopt;
}

PlistArray* PlistValue::mutableArray()
{
    auto* box = std::get_if<detail::CowBox<PlistArray>>(&m_storage);
    return box ? &box->mutate() : nullptr;
}

PlistDictionary* PlistValue::mutableDictionary()
{
    auto* box = std::get_if<detail::CowBox<PlistDictionary>>(&m_storage);
    return box ? &box->mutate() : nullptr;
}

PlistData* PlistValue::mutableData()
{
    auto* box = std::get_if<detail::CowBox<PlistData>>(&m_storage);
    return box ? &box->mutate() : nullptr;
}

std::string PlistValue::stringValue() const
{
    auto* string = asString();
    return string ? *string : std::string();
}

const PlistValue* PlistValue::find(std::string_view key) const
{
    auto* dictionary = asDictionary();
    return dictionary ? dictionary->find(key) : nullptr;
}

bool PlistValue::operator==(const PlistValue& other) const
{
    if (type() != other.type())
        return false;
    switch (type()) {
    case PlistType::String:
        return *asString() == *other.asString();
    case PlistType::Integer: {
        auto& a = std::get<Integer>(m_storage);
        auto& b = std::get<Integer>(other.m_storage);
        return a.bits == b.bits && a.isUnsigned == b.isUnsigned;
    }
    case PlistType::Real:
        return *asReal() == *other.asReal();
    case PlistType::Boolean:
        return *asBoolean() == *other.asBoolean();
    case PlistType::Data:
        return *asData() == *other.asData();
    case PlistType::Date:
        return *asDate() == *other.asDate();
    case PlistType::Array:
        return *asArray() == *other.asArray();
    case PlistType::Dictionary:
        return *asDictionary() == *other.asDictionary();
    case PlistType::Uid:
        return *asUid() == *other.asUid();
    }
    return false;
}

static void describe(const PlistValue& value, std::string& out)
{
    switch (value.type()) {
    case PlistType::String:
        out += fmt::format("\"{}\"", *value.asString());
        return;
    case PlistType::Integer:
        if (auto integer = value.asInteger())
            out += fmt::format("{}", *integer);
        else
            out += fmt::format("{}", *value.asUnsignedInteger());
        return;
    case PlistType::Real:
        out += fmt::format("{}", *value.asReal());
        return;
    case PlistType::Boolean:
        out += *value.asBoolean() ? "true" : "false";
        return;
    case PlistType::Data:
        out += fmt::format("<{} bytes>", value.asData()->size());
        return;
    case PlistType::Date:
        out += fmt::format("date({})", value.asDate()->secondsSince2001);
        return;
    case PlistType::Uid:
        out += fmt::format("uid({})", value.asUid()->value);
        return;
    case PlistType::Array: {
        out += '[';
        bool first = true;
        for (auto& element : *value.asArray()) {
            if (!std::exchange(first, false))
                out += ", ";
            describe(element, out);
        }
        out += ']';
        return;
    }
    case PlistType::Dictionary: {
        out += '{';
        bool first = true;
        for (auto& [key, element] : *value.asDictionary()) {
            if (!std::exchange(first, false))
                out += ", ";
            out += fmt::format("\"{}\": ", key);
            describe(element, out);
        }
        out += '}';
        return;
    }
    }
}

std::string PlistValue::debugDescription() const
{
    std::string out;
    describe(*this, out);
    return out;
}

void PrintTo(const PlistValue& value, std::ostream* stream)
{
    *stream << value.debugDescription();
}

PlistDictionary::PlistDictionary(std::initializer_list<Entry> entries)
{
    for (auto& entry : entries)
        set(entry.first, entry.second);
}

std::optional<size_t> PlistDictionary::indexOf(std::string_view key) const
{
    if (m_entries.size() > IndexThreshold) {
        auto it = m_index.find(key);
        if (it == m_index.end())
            return std::nullopt;
        return it->second;
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first == key)
            return i;
    }
    return std::nullopt;
}

const PlistValue* PlistDictionary::find(std::string_view key) const
{
    auto index = indexOf(key);
    return index ? &m_entries[*index].second : nullptr;
}

PlistValue* PlistDictionary::find(std::string_view key)
{
    auto index = indexOf(key);
    return index ? &m_entries[*index].second : nullptr;
}

void PlistDictionary::set(std::string key, PlistValue value)
{
    if (auto index = indexOf(key)) {
        m_entries[*index].second = std::move(value);
        return;
    }
    m_entries.emplace_back(std::move(key), std::move(value));
    if (m_entries.size() == IndexThreshold + 1)
        rebuildIndex();
    else if (m_entries.size() > IndexThreshold + 1)
        m_index.emplace(m_entries.back().first, m_entries.size() - 1);
}

bool PlistDictionary::remove(std::string_view key)
{
    auto index = indexOf(key);
    if (!index)
        return false;
    m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(*index));
    rebuildIndex();
    return true;
}

void PlistDictionary::clear()
{
    m_entries.clear();
    m_index.clear();
}

void PlistDictionary::rebuildIndex()
{
    m_index.clear();
    if (m_entries.size() <= IndexThreshold)
        return;
    m_index.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_index.emplace(m_entries[i].first, i);
}

std::vector<std::string> PlistDictionary::keys() const
{
    std::vector<std::string> result;
    result.reserve(m_entries.size());
    for (auto& entry : m_entries)
        result.push_back(entry.first);
    return result;
}

bool PlistDictionary::operator==(const PlistDictionary& other) const
{
    if (size() != other.size())
        return false;
    return std::all_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        auto* theirs = other.find(entry.first);
        return theirs && *theirs == entry.second;
    });
}

}
