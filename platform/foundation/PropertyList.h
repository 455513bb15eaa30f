// A property-list value: what the platform's dictionaries, arrays and their
// files hold. Strings, integers, reals, booleans, data, dates, arrays,
// dictionaries and the archiver's UIDs. Values behave like plain values:
// copying is cheap (containers and data are shared until one copy changes),
// and a dictionary keeps its keys in the order they were read or added, as
// the platform's writers and readers of these files expect.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace foundation {

enum class PlistType {
    String,
    Integer,
    Real,
    Boolean,
    Data,
    Date,
    Array,
    Dictionary,
    Uid,
};

// Seconds since 2001-01-01 00:00:00 UTC, the platform's reference date.
struct PlistDate {
    double secondsSince2001 { 0 };
    bool operator==(const PlistDate&) const = default;
};

// A keyed archive's object reference.
struct PlistUid {
    uint64_t value { 0 };
    bool operator==(const PlistUid&) const = default;
};

class PlistValue;
class PlistDictionary;
using PlistArray = std::vector<PlistValue>;
using PlistData = std::vector<uint8_t>;

namespace detail {

    // Shared, copy-on-write storage. The reference count is our own so that the
    // "am I the only owner" test before an in-place change is an acquire load
    // (a copy given away to another thread must be finished with before we write).
    template <typename T>
    class CowBox {
    public:
        explicit CowBox(T value)
            : m_node(new Node { std::move(value) })
        {
        }
        CowBox(const CowBox& other)
            : m_node(other.m_node)
        {
            m_node->refs.fetch_add(1, std::memory_order_relaxed);
        }
        CowBox(CowBox&& other) noexcept
            : m_node(std::exchange(other.m_node, nullptr))
        {
        }
        CowBox& operator=(CowBox other) noexcept
        {
            std::swap(m_node, other.m_node);
            return *this;
        }
        ~CowBox() { release(); }

        // A moved-from box reads as empty.
        const T& get() const
        {
            static const T empty {};
            return m_node ? m_node->value : empty;
        }
        T& mutate()
        {
            if (!m_node)
                m_node = new Node { T() };
            else if (m_node->refs.load(std::memory_order_acquire) != 1)
                *this = CowBox(T(m_node->value));
            return m_node->value;
        }

    private:
        struct Node {
            T value;
            std::atomic<size_t> refs { 1 };
        };
        void release()
        {
            if (m_node && m_node->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
                delete m_node;
        }
        Node* m_node { nullptr };
    };

}

class PlistValue {
public:
    // The default value is the empty string.
    PlistValue();
    PlistValue(std::string);
    PlistValue(std::string_view);
    PlistValue(const char*);
    PlistValue(bool);
    PlistValue(double);
    template <typename Int>
    requires(std::is_integral_v<Int> && !std::is_same_v<Int, bool> && !std::is_same_v<Int, char>)
        PlistValue(Int value)
    {
        if constexpr (std::is_unsigned_v<Int>)
            *this = unsignedInteger(static_cast<uint64_t>(value));
        else
            m_storage = Integer { static_cast<uint64_t>(static_cast<int64_t>(value)), false };
    }
    PlistValue(PlistData);
    PlistValue(PlistDate);
    PlistValue(PlistArray);
    PlistValue(PlistDictionary);
    PlistValue(PlistUid);

    // Integers above INT64_MAX keep their unsigned value.
    static PlistValue unsignedInteger(uint64_t);

    PlistType type() const { return static_cast<PlistType>(m_storage.index()); }
    bool isString() const { return type() == PlistType::String; }
    bool isInteger() const { return type() == PlistType::Integer; }
    bool isReal() const { return type() == PlistType::Real; }
    bool isBoolean() const { return type() == PlistType::Boolean; }
    bool isData() const { return type() == PlistType::Data; }
    bool isDate() const { return type() == PlistType::Date; }
    bool isArray() const { return type() == PlistType::Array; }
    bool isDictionary() const { return type() == PlistType::Dictionary; }
    bool isUid() const { return type() == PlistType::Uid; }

    // Typed access: nullptr / nullopt when the value is of another type.
    const std::string* asString() const;
    // nullopt for non-integers and for unsigned values above INT64_MAX.
    std::optional<int64_t> asInteger() const;
    // nullopt for non-integers and for negative values.
    std::optional<uint64_t> asUnsignedInteger() const;
    std::optional<double> asReal() const;
    std::optional<bool> asBoolean() const;
    const PlistData* asData() const;
    std::optional<PlistDate> asDate() const;
    const PlistArray* asArray() const;
    const PlistDictionary* asDictionary() const;
    std::optional<PlistUid> asUid() const;

    // In-place changes; the container is copied first if another value shares it.
    PlistArray* mutableArray();
    PlistDictionary* mutableDictionary();
    PlistData* mutableData();

    // The string, or "" for any other type (the platform's nil string reads empty).
    std::string stringValue() const;

    // Dictionary look-up shortcut: nullptr when this is no dictionary or the key is absent.
    const PlistValue* find(std::string_view key) const;

    // Dictionaries compare regardless of key order; reals compare with ==.
    bool operator==(const PlistValue&) const;

    // A one-line rendering for test failures and logs.
    std::string debugDescription() const;

private:
    struct Integer {
        uint64_t bits { 0 };
        bool isUnsigned { false }; // only set for values above INT64_MAX
    };
    using Storage = std::variant<std::string, Integer, double, bool, detail::CowBox<PlistData>, PlistDate,
        detail::CowBox<PlistArray>, detail::CowBox<PlistDictionary>, PlistUid>;
    Storage m_storage;
};

// An ordered dictionary with string keys. Setting an existing key replaces its
// value in place; removing keeps the order of the others. Small dictionaries
// are searched linearly; larger ones keep a hash index.
class PlistDictionary {
public:
    using Entry = std::pair<std::string, PlistValue>;

    PlistDictionary() = default;
    PlistDictionary(std::initializer_list<Entry>);

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }

    const PlistValue* find(std::string_view key) const;
    PlistValue* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key); }

    void set(std::string key, PlistValue);
    // Returns whether the key was there.
    bool remove(std::string_view key);
    void clear();

    const Entry& entryAt(size_t index) const { return m_entries[index]; }
    std::vector<std::string> keys() const;

    std::vector<Entry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return m_entries.end(); }

    // Order-insensitive, like the platform's dictionary equality.
    bool operator==(const PlistDictionary&) const;

private:
    static constexpr size_t IndexThreshold = 16;
    std::optional<size_t> indexOf(std::string_view key) const;
    void rebuildIndex();

    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view> {}(key); }
    };
    std::vector<Entry> m_entries;
    std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>> m_index; // only above IndexThreshold
};

// gtest's printer hook.
void PrintTo(const PlistValue&, std::ostream*);

}
