#include "SBApplicationController.h"

#include "MailApplication.h"
#include "MessagesApplication.h"
#include "SpringBoardContext.h"

#include <algorithm>

namespace springboard {

using runtime::Id;

void SBApplicationController::registerMethods(runtime::ClassBuilder<SBApplicationController>& b)
{
    b.classMethod("sharedInstance", [](runtime::Class&) -> Id { return sharedInstance(); });
    b.method("applicationWithDisplayIdentifier:", [](SBApplicationController& self, const std::string& identifier) -> Id {
        return self.applicationWithDisplayIdentifier(identifier);
    });
    b.method("allApplications", [](SBApplicationController& self) -> std::vector<Id> {
        return { self.m_applications.begin(), self.m_applications.end() };
    });
}

runtime::Ref<SBApplicationController> SBApplicationController::sharedInstance()
{
    auto& context = springBoardContext();
    if (!context.applicationController) {
        auto controller = runtime::make<SBApplicationController>();
        controller->addApplication(SBApplication::withIdentifier(std::string(MessagesIdentifier), "Messages", &makeMessagesApplication));
        controller->addApplication(SBApplication::withIdentifier(std::string(MailIdentifier), "Mail", &makeMailApplication));
        context.applicationController = controller;
    }
    return context.applicationController;
}

runtime::Ref<SBApplication> SBApplicationController::applicationWithDisplayIdentifier(const std::string& identifier) const
{
    auto found = std::find_if(m_applications.begin(), m_applications.end(), [&](auto& application) { return application->displayIdentifier() == identifier; });
    return found == m_applications.end() ? nullptr : *found;
}

void SBApplicationController::addApplication(const runtime::Ref<SBApplication>& application)
{
    if (!application)
        return;
    auto found = std::find_if(m_applications.begin(), m_applications.end(), [&](auto& existing) { return existing->displayIdentifier() == application->displayIdentifier(); });
    if (found != m_applications.end())
        *found = application;
    else
        m_applications.push_back(application);
}

} // namespace springboard
