#include "SBBulletinListSection.h"

namespace springboard {

using runtime::Id;

void SBBulletinListSection::registerMethods(runtime::ClassBuilder<SBBulletinListSection>& b)
{
    b.method<&SBBulletinListSection::bulletinAtIndex>("bulletinAtIndex:");
    b.method<&SBBulletinListSection::bulletinCount>("bulletinCount");
    b.method<&SBBulletinListSection::sectionID>("sectionID");
    b.method<&SBBulletinListSection::displayName>("displayName");
}

runtime::Ref<SBBulletinListSection> SBBulletinListSection::withSectionID(std::string sectionID, std::string displayName)
{
    auto section = runtime::make<SBBulletinListSection>();
    section->m_sectionID = std::move(sectionID);
    section->m_displayName = std::move(displayName);
    return section;
}

Id SBBulletinListSection::bulletinAtIndex(int64_t index) const
{
    if (index < 0 || index >= bulletinCount())
        return runtime::nil;
    return m_bulletins[static_cast<size_t>(index)];
}

void SBBulletinListSection::addBulletin(const runtime::Ref<BBBulletin>& bulletin)
{
    if (!bulletin)
        return;
    m_bulletins.insert(m_bulletins.begin(), bulletin);
    if (m_bulletins.size() > MaximumBulletins)
        m_bulletins.resize(MaximumBulletins);
}

} // namespace springboard
