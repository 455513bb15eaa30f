// The keyed-archive reader and the group records read from its root, on any
// bytes (XML or binary): no crash, every group handed on has the shape the
// sender relies on, and a root that was read archives and reads back the
// same, as the demo phone writes its groups file.
#include "PlistRoundTrip.h"

#include <foundation/GroupsArchive.h>
#include <foundation/KeyedArchive.h>

using namespace foundation;
using fuzzing::fuzzRequire;

namespace {

void requireUsableGroups(const PlistArray& groups)
{
    for (const auto& group : groups) {
        auto* fields = group.asDictionary();
        fuzzRequire(fields, "a group record that is not a dictionary");
        auto* name = fields->find("name");
        fuzzRequire(name && name->isString(), "a group without a string name");
        auto* members = fields->find("members");
        fuzzRequire(members && members->isArray(), "a group without a members array");
        for (const auto& member : *members->asArray()) {
            auto* memberFields = member.asDictionary();
            fuzzRequire(memberFields, "a member that is not a dictionary");
            auto* contact = memberFields->find("contact");
            fuzzRequire(contact && contact->isString(), "a member without a string contact");
            auto* isNumber = memberFields->find("isNumber");
            fuzzRequire(isNumber && isNumber->isBoolean(), "a member whose isNumber is not a boolean");
        }
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PlistReadLimits limits;
    limits.maxDepth = 32;
    limits.maxNodes = 10'000;
    auto root = unarchive(std::span(data, size), {}, limits);
    if (!root) {
        fuzzRequire(!root.reason().empty(), "a refusal without a reason");
        return 0;
    }
    requireUsableGroups(groupRecords(*root));

    if (fuzzing::holdsUid(*root) || fuzzing::holdsNaN(*root))
        return 0;
    auto archive = keyedArchive(*root);
    fuzzRequire(archive.has_value(), "a root without UIDs that cannot be archived");
    auto again = unarchive(*archive, {}, limits);
    fuzzRequire(bool(again), "an archive written for a root read cannot be read back: " + again.reason());
    fuzzRequire(*again == *root, "an archive written for a root read reads back as another root");
    return 0;
}
