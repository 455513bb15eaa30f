// One application's part of the notification centre: its bulletins, newest
// first, up to the number the notification centre shows per application.
// `bulletinAtIndex:` is how SpringBoard fetches the bulletin of a tapped row,
// through the runtime.
#pragma once

#include "BBBulletin.h"

#include <vector>

namespace springboard {

class SBBulletinListSection : public runtime::Object {
    PLV_CLASS(SBBulletinListSection, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBBulletinListSection>&);

    // The phone's default: five recent items per application.
    static constexpr size_t MaximumBulletins = 5;

    static runtime::Ref<SBBulletinListSection> withSectionID(std::string sectionID, std::string displayName);

    const std::string& sectionID() const { return m_sectionID; }
    const std::string& displayName() const { return m_displayName; }
    // nil outside the section.
    runtime::Id bulletinAtIndex(int64_t index) const;
    int64_t bulletinCount() const { return static_cast<int64_t>(m_bulletins.size()); }
    const std::vector<runtime::Ref<BBBulletin>>& bulletins() const { return m_bulletins; }

    void addBulletin(const runtime::Ref<BBBulletin>&);

private:
    std::string m_sectionID;
    std::string m_displayName;
    std::vector<runtime::Ref<BBBulletin>> m_bulletins;
};

} // namespace springboard
