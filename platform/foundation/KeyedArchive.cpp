#include "KeyedArchive.h"

#include "AtomicFile.h"

#include <fmt/format.h>

#include <deque>
#include <unordered_map>

namespace foundation {

namespace {

    constexpr std::string_view archiverName = "NSKeyedArchiver";
    constexpr int64_t archiveVersion = 100000;

    // Binary archives spell a reference as a UID; the XML form, and anything
    // libplist 2.2 read from XML, as a one-entry {CF$UID: n} dictionary.
    std::optional<uint64_t> referenceOf(const PlistValue& value)
    {
        if (auto uid = value.asUid())
            return uid->value;
        auto* dictionary = value.asDictionary();
        if (!dictionary || dictionary->size() != 1)
            return std::nullopt;
        if (auto* number = dictionary->find("CF$UID"))
            return number->asUnsignedInteger();
        return std::nullopt;
    }

    enum class ClassKind {
        Array,
        Dictionary,
        String,
        Data,
        Date,
    };

    std::optional<ClassKind> kindOfClass(std::string_view name)
    {
        if (name == "NSArray" || name == "NSMutableArray" || name == "NSSet" || name == "NSMutableSet")
            return ClassKind::Array;
        if (name == "NSDictionary" || name == "NSMutableDictionary")
            return ClassKind::Dictionary;
        if (name == "NSString" || name == "NSMutableString")
            return ClassKind::String;
        if (name == "NSData" || name == "NSMutableData")
            return ClassKind::Data;
        if (name == "NSDate")
            return ClassKind::Date;
        return std::nullopt;
    }

    class Unarchiver {
    public:
        Unarchiver(const PlistArray& objects, const PlistReadLimits& limits)
            : m_objects(objects)
            , m_limits(limits)
            , m_slots(objects.size(), 0)
        {
        }

        Result<PlistValue> decodeRoot(uint64_t reference)
        {
            auto* root = object(reference, 1);
            if (!root)
                return Error(std::move(m_error));
            if (!root->value)
                return Error("keyed archive: the root object is nil");
            return *root->value;
        }

    private:
        struct Decoded {
            bool inProgress { true };
            std::optional<PlistValue> value; // nullopt: nil
            uint64_t expandedNodes { 1 };
            uint64_t height { 0 };
        };

        bool fail(std::string error)
        {
            if (m_error.empty())
                m_error = "keyed archive: " + std::move(error);
            return false;
        }

        const Decoded* object(uint64_t reference, uint64_t depth)
        {
            if (reference >= m_objects.size()) {
                fail(fmt::format("invalid object reference {} ($objects holds {})", reference, m_objects.size()));
                return nullptr;
            }
            if (uint32_t slot = m_slots[reference]) {
                auto& known = m_decoded[slot - 1];
                if (known.inProgress) {
                    fail(fmt::format("reference cycle through object {}", reference));
                    return nullptr;
                }
                if (depth + known.height > m_limits.maxDepth) {
                    fail(fmt::format("nested deeper than {} levels", m_limits.maxDepth));
                    return nullptr;
                }
                return &known;
            }
            if (depth > m_limits.maxDepth) {
                fail(fmt::format("nested deeper than {} levels", m_limits.maxDepth));
                return nullptr;
            }
            m_decoded.emplace_back();
            m_slots[reference] = static_cast<uint32_t>(m_decoded.size());
            auto& slot = m_decoded.back();
            Decoded result;
            if (reference != 0 && !decode(m_objects[reference], reference, depth, result))
                return nullptr;
            result.inProgress = false;
            slot = std::move(result);
            return &slot;
        }

        // A reference to a non-nil child; its expansion is added to the parent's.
        const PlistValue* child(const PlistValue& referenceValue, uint64_t depth, Decoded& parent, std::string_view what)
        {
            auto reference = referenceOf(referenceValue);
            if (!reference) {
                fail(fmt::format("{} is not an object reference", what));
                return nullptr;
            }
            auto* decoded = object(*reference, depth + 1);
            if (!decoded)
                return nullptr;
            if (!decoded->value) {
                fail(fmt::format("{} is nil", what));
                return nullptr;
            }
            parent.expandedNodes += decoded->expandedNodes;
            parent.height = std::max(parent.height, decoded->height + 1);
            if (parent.expandedNodes > m_limits.maxNodes) {
                fail(fmt::format("expands to more than {} values", m_limits.maxNodes));
                return nullptr;
            }
            return &*decoded->value;
        }

        std::optional<ClassKind> classOf(const PlistDictionary& object, uint64_t reference)
        {
            auto* classValue = object.find("$class");
            auto classReference = classValue ? referenceOf(*classValue) : std::nullopt;
            if (!classReference || *classReference == 0 || *classReference >= m_objects.size()) {
                fail(fmt::format("invalid class reference in object {}", reference));
                return std::nullopt;
            }
            auto* classDescription = m_objects[*classReference].asDictionary();
            auto* className = classDescription ? classDescription->find("$classname") : nullptr;
            if (!className || !className->isString()) {
                fail(fmt::format("invalid class reference in object {}", reference));
                return std::nullopt;
            }
            if (auto kind = kindOfClass(*className->asString()))
                return kind;
            // A subclass we do not know decodes as the first ancestor we do.
            if (auto* ancestors = classDescription->find("$classes"); ancestors && ancestors->isArray()) {
                for (auto& ancestor : *ancestors->asArray()) {
                    if (auto kind = ancestor.isString() ? kindOfClass(*ancestor.asString()) : std::nullopt)
                        return kind;
                }
            }
            fail(fmt::format("unsupported class {} (object {})", *className->asString(), reference));
            return std::nullopt;
        }

        // The references of NS.objects (or NS.keys), or of the older numbered form
        // NS.object.0, NS.object.1, ...
        std::optional<std::vector<const PlistValue*>> references(
            const PlistDictionary& object, std::string_view listKey, std::string_view numberedPrefix)
        {
            std::vector<const PlistValue*> result;
            if (auto* list = object.find(listKey)) {
                auto* array = list->asArray();
                if (!array) {
                    fail(fmt::format("{} is not an array", listKey));
                    return std::nullopt;
                }
                for (auto& element : *array)
                    result.push_back(&element);
                return result;
            }
            for (size_t i = 0;; ++i) {
                auto* element = object.find(fmt::format("{}{}", numberedPrefix, i));
                if (!element)
                    break;
                result.push_back(element);
            }
            return result;
        }

        bool decode(const PlistValue& raw, uint64_t reference, uint64_t depth, Decoded& result)
        {
            switch (raw.type()) {
            case PlistType::String:
            case PlistType::Integer:
            case PlistType::Real:
            case PlistType::Boolean:
            case PlistType::Data:
            case PlistType::Date:
                // NSString, NSNumber and NSData are stored as themselves.
                result.value = raw;
                return true;
            case PlistType::Uid:
            case PlistType::Array:
                return fail(fmt::format("object {} is not an object", reference));
            case PlistType::Dictionary:
                break;
            }
            auto& object = *raw.asDictionary();
            if (referenceOf(raw))
                return fail(fmt::format("object {} is not an object", reference));
            auto kind = classOf(object, reference);
            if (!kind)
                return false;
            switch (*kind) {
            case ClassKind::String:
                return field(object, "NS.string", PlistType::String, reference, result);
            case ClassKind::Data:
                return field(object, "NS.data", PlistType::Data, reference, result);
            case ClassKind::Date: {
                auto* time = object.find("NS.time");
                auto seconds = time ? time->asReal() : std::nullopt;
                if (!seconds)
                    return fail(fmt::format("NSDate object {} has no NS.time", reference));
                result.value = PlistValue(PlistDate { *seconds });
                return true;
            }
            case ClassKind::Array:
                return decodeArray(object, depth, result);
            case ClassKind::Dictionary:
                return decodeDictionary(object, depth, result);
            }
            return false;
        }

        bool field(const PlistDictionary& object, std::string_view key, PlistType type, uint64_t reference, Decoded& result)
        {
            auto* value = object.find(key);
            if (!value || value->type() != type)
                return fail(fmt::format("object {} has no {}", reference, key));
            result.value = *value;
            return true;
        }

        bool decodeArray(const PlistDictionary& object, uint64_t depth, Decoded& result)
        {
            auto elements = references(object, "NS.objects", "NS.object.");
            if (!elements)
                return false;
            PlistArray array;
            array.reserve(elements->size());
            for (auto* element : *elements) {
                auto* value = child(*element, depth, result, "an array element");
                if (!value)
                    return false;
                array.push_back(*value);
            }
            result.value = PlistValue(std::move(array));
            return true;
        }

        bool decodeDictionary(const PlistDictionary& object, uint64_t depth, Decoded& result)
        {
            auto keys = references(object, "NS.keys", "NS.key.");
            auto values = references(object, "NS.objects", "NS.object.");
            if (!keys || !values)
                return false;
            if (keys->size() != values->size())
                return fail(fmt::format("dictionary with {} keys and {} values", keys->size(), values->size()));
            PlistDictionary dictionary;
            for (size_t i = 0; i < keys->size(); ++i) {
                auto* key = child(*(*keys)[i], depth, result, "a dictionary key");
                if (!key)
                    return false;
                if (!key->isString())
                    return fail("a dictionary key is not a string");
                auto* value = child(*(*values)[i], depth, result, "a dictionary value");
                if (!value)
                    return false;
                dictionary.set(*key->asString(), *value);
            }
            result.value = PlistValue(std::move(dictionary));
            return true;
        }

        const PlistArray& m_objects;
        const PlistReadLimits& m_limits;
        std::string m_error;
        // Object index → 1 + position in m_decoded (0: not met yet).
        std::vector<uint32_t> m_slots;
        std::deque<Decoded> m_decoded;
    };

    class Archiver {
    public:
        std::optional<PlistValue> archive(const PlistValue& root)
        {
            auto rootReference = encode(root);
            if (!rootReference)
                return std::nullopt;
            return PlistValue(PlistDictionary {
                { "$version", archiveVersion },
                { "$archiver", std::string(archiverName) },
                { "$top", PlistDictionary { { "root", PlistUid { *rootReference } } } },
                { "$objects", std::move(m_objects) },
            });
        }

    private:
        uint64_t add(PlistValue value)
        {
            m_objects.push_back(std::move(value));
            return m_objects.size() - 1;
        }

        uint64_t classReference(const std::string& name, std::initializer_list<std::string_view> ancestors)
        {
            if (auto it = m_classes.find(name); it != m_classes.end())
                return it->second;
            PlistArray classes { name };
            for (auto ancestor : ancestors)
                classes.push_back(ancestor);
            auto reference = add(PlistDictionary { { "$classes", std::move(classes) }, { "$classname", name } });
            m_classes.emplace(name, reference);
            return reference;
        }

        std::optional<uint64_t> encode(const PlistValue& value)
        {
            switch (value.type()) {
            case PlistType::String: {
                auto& text = *value.asString();
                if (auto it = m_strings.find(text); it != m_strings.end())
                    return it->second;
                auto reference = add(value);
                m_strings.emplace(text, reference);
                return reference;
            }
            case PlistType::Integer:
            case PlistType::Real:
            case PlistType::Boolean:
            case PlistType::Data:
                return add(value);
            case PlistType::Date: {
                auto reference = add({});
                auto classUid = classReference("NSDate", { "NSObject" });
                m_objects[reference] = PlistDictionary { { "NS.time", value.asDate()->secondsSince2001 },
                    { "$class", PlistUid { classUid } } };
                return reference;
            }
            case PlistType::Uid:
                return std::nullopt;
            case PlistType::Array: {
                auto reference = add({});
                PlistArray elements;
                for (auto& element : *value.asArray()) {
                    auto elementReference = encode(element);
                    if (!elementReference)
                        return std::nullopt;
                    elements.push_back(PlistUid { *elementReference });
                }
                auto classUid = classReference("NSMutableArray", { "NSArray", "NSObject" });
                m_objects[reference]
                    = PlistDictionary { { "NS.objects", std::move(elements) }, { "$class", PlistUid { classUid } } };
                return reference;
            }
            case PlistType::Dictionary: {
                auto reference = add({});
                PlistArray keys;
                PlistArray values;
                for (auto& [key, element] : *value.asDictionary()) {
                    auto keyReference = encode(PlistValue(key));
                    auto elementReference = encode(element);
                    if (!keyReference || !elementReference)
                        return std::nullopt;
                    keys.push_back(PlistUid { *keyReference });
                    values.push_back(PlistUid { *elementReference });
                }
                auto classUid = classReference("NSMutableDictionary", { "NSDictionary", "NSObject" });
                m_objects[reference] = PlistDictionary { { "NS.keys", std::move(keys) },
                    { "NS.objects", std::move(values) }, { "$class", PlistUid { classUid } } };
                return reference;
            }
            }
            return std::nullopt;
        }

        PlistArray m_objects { "$null" };
        std::unordered_map<std::string, uint64_t> m_strings;
        std::unordered_map<std::string, uint64_t> m_classes;
    };

}

Result<PlistValue> unarchive(const PlistValue& archive, std::string_view topKey, const PlistReadLimits& limits)
{
    auto* header = archive.asDictionary();
    if (!header)
        return Error("keyed archive: the property list is not a dictionary");
    auto* archiver = header->find("$archiver");
    if (!archiver || archiver->stringValue() != archiverName)
        return Error("keyed archive: $archiver is not NSKeyedArchiver");
    auto* version = header->find("$version");
    if (!version || version->asInteger() != archiveVersion)
        return Error("keyed archive: unsupported $version");
    auto* objects = header->find("$objects");
    auto* top = header->find("$top");
    if (!objects || !objects->isArray() || !top || !top->isDictionary())
        return Error("keyed archive: missing $objects or $top");

    auto& entries = *top->asDictionary();
    const PlistValue* rootReference = nullptr;
    if (!topKey.empty())
        rootReference = entries.find(topKey);
    else if (auto* root = entries.find("root"))
        rootReference = root;
    else if (entries.size() == 1)
        rootReference = &entries.entryAt(0).second;
    if (!rootReference)
        return Error(
            fmt::format("keyed archive: $top has no entry {}", topKey.empty() ? "root" : topKey));
    auto reference = referenceOf(*rootReference);
    if (!reference)
        return Error("keyed archive: the $top entry is not an object reference");
    return Unarchiver(*objects->asArray(), limits).decodeRoot(*reference);
}

Result<PlistValue> unarchive(std::span<const uint8_t> bytes, std::string_view topKey, const PlistReadLimits& limits)
{
    auto plist = TRY(readPlist(bytes, limits));
    return unarchive(plist, topKey, limits);
}

Result<PlistValue> unarchiveFile(
    const std::filesystem::path& hostPath, std::string_view topKey, const PlistReadLimits& limits)
{
    auto plist = TRY(readPlistFile(hostPath, limits));
    return unarchive(plist, topKey, limits);
}

std::optional<PlistValue> keyedArchive(const PlistValue& root)
{
    return Archiver().archive(root);
}

bool writeKeyedArchiveAtomically(const std::filesystem::path& hostPath, const PlistValue& root, PlistFormat format)
{
    auto archive = keyedArchive(root);
    if (!archive)
        return false;
    if (format == PlistFormat::Xml)
        return writePlistAtomically(hostPath, *archive);
    return writeFileAtomically(hostPath, std::span<const uint8_t>(writeBinaryPlist(*archive)));
}

}
