#include "SBApplication.h"

#include "SpringBoardContext.h"

#include <utility>

namespace springboard {

using runtime::Id;

void SBApplication::registerMethods(runtime::ClassBuilder<SBApplication>& b)
{
    b.method<&SBApplication::displayIdentifier>("displayIdentifier");
    b.method<&SBApplication::displayName>("displayName");
    b.method<&SBApplication::isRunning>("isRunning");
    b.method<&SBApplication::launch>("launch");
    b.method<&SBApplication::activate>("activate");
    b.method<&SBApplication::deactivate>("deactivate");
    b.method<&SBApplication::kill>("kill");
}

runtime::Ref<SBApplication> SBApplication::withIdentifier(std::string displayIdentifier, std::string displayName, ContentFactory factory)
{
    auto application = runtime::make<SBApplication>();
    application->m_displayIdentifier = std::move(displayIdentifier);
    application->m_displayName = std::move(displayName);
    application->m_factory = std::move(factory);
    return application;
}

bool SBApplication::isFrontmost() const
{
    return springBoardContext().frontApplication.lock().get() == this;
}

void SBApplication::launch()
{
    if (m_running)
        return;
    m_running = true;
    if (m_factory)
        m_content = m_factory();
}

void SBApplication::activate()
{
    if (!m_running)
        launch();
    auto& context = springBoardContext();
    context.frontApplication = selfAs<SBApplication>();
    if (!m_content)
        return;
    m_content->setOrientation(context.interfaceOrientation);
    m_content->refresh();
    if (!m_pendingURL.empty())
        m_content->openURL(std::exchange(m_pendingURL, {}));
    if (auto window = m_content->window())
        window->setHidden(false);
}

void SBApplication::deactivate()
{
    auto& context = springBoardContext();
    if (isFrontmost())
        context.frontApplication.reset();
    if (m_content) {
        if (auto window = m_content->window())
            window->setHidden(true);
    }
}

void SBApplication::kill()
{
    // An application killed while in front leaves the front as a switch does.
    if (isFrontmost())
        runtime::send(selfAs<SBApplication>(), "deactivate");
    m_content.reset();
    m_running = false;
}

} // namespace springboard
