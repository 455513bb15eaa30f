#include "BBBulletin.h"

namespace springboard {

using runtime::Id;

void BBAction::registerMethods(runtime::ClassBuilder<BBAction>& b)
{
    b.classMethod("actionWithLaunchURL:", [](runtime::Class&, const std::string& url) -> Id { return withLaunchURL(url, ""); });
    b.classMethod("actionWithLaunchURL:bundleID:", [](runtime::Class&, const std::string& url, const std::string& bundleID) -> Id {
        return withLaunchURL(url, bundleID);
    });
    b.method<&BBAction::launchURL>("launchURL");
    b.method<&BBAction::setLaunchURL>("setLaunchURL:");
    b.method<&BBAction::bundleID>("bundleID");
    b.method<&BBAction::setBundleID>("setBundleID:");
    b.method<&BBAction::isURLLaunchAction>("isURLLaunchAction");
}

runtime::Ref<BBAction> BBAction::withLaunchURL(std::string url, std::string bundleID)
{
    auto action = runtime::make<BBAction>();
    action->m_launchURL = std::move(url);
    action->m_bundleID = std::move(bundleID);
    return action;
}

void BBBulletin::registerMethods(runtime::ClassBuilder<BBBulletin>& b)
{
    b.method<&BBBulletin::title>("title");
    b.method<&BBBulletin::setTitle>("setTitle:");
    b.method<&BBBulletin::subtitle>("subtitle");
    b.method<&BBBulletin::setSubtitle>("setSubtitle:");
    b.method<&BBBulletin::message>("message");
    b.method<&BBBulletin::setMessage>("setMessage:");
    b.method<&BBBulletin::sectionID>("sectionID");
    b.method<&BBBulletin::setSectionID>("setSectionID:");
    b.method<&BBBulletin::recordID>("recordID");
    b.method<&BBBulletin::setRecordID>("setRecordID:");
    b.method<&BBBulletin::bulletinID>("bulletinID");
    b.method<&BBBulletin::setBulletinID>("setBulletinID:");
    b.method<&BBBulletin::topic>("topic");
    b.method<&BBBulletin::setTopic>("setTopic:");
    b.method("defaultAction", [](BBBulletin& self) -> Id { return self.defaultAction(); });
    b.method("setDefaultAction:", [](BBBulletin& self, const Id& action) { self.setDefaultAction(runtime::cast<BBAction>(action)); });
}

std::string BBBulletin::topic() const
{
    if (m_topicRaises)
        throw runtime::ObjCException("NSInternalInconsistencyException", *m_topicRaises);
    return m_topic;
}

std::string BBBulletin::description() const
{
    return "<BBBulletin " + m_sectionID + " " + m_recordID + " \"" + m_title + "\">";
}

} // namespace springboard
