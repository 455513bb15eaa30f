// An application SpringBoard can launch and bring to the front. `launch`,
// `activate`, `deactivate` and `kill` are sent through the runtime by
// SpringBoard whenever an application starts, comes to the front, leaves it
// or is stopped, so a hook sees each one. What the application shows comes
// from its ApplicationContent, made when it launches.
#pragma once

#include <runtime/Runtime.h>
#include <uikit/UIWindow.h>

#include <functional>
#include <memory>
#include <string>

namespace springboard {

// The screens of an application that runs inside this phone.
class ApplicationContent {
public:
    virtual ~ApplicationContent() = default;
    virtual runtime::Ref<uikit::UIWindow> window() = 0;
    // Reads its data again (the database, the mail folders) and redraws.
    virtual void refresh() = 0;
    // Shows what a URL routed to this application points at.
    virtual void openURL(const std::string&) { }
    // Lays the screens out for an interface orientation.
    virtual void setOrientation(int64_t) { }
};

using ContentFactory = std::function<std::unique_ptr<ApplicationContent>()>;

class SBApplication : public runtime::Object {
    PLV_CLASS(SBApplication, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<SBApplication>&);

    static runtime::Ref<SBApplication> withIdentifier(std::string displayIdentifier, std::string displayName, ContentFactory);

    const std::string& displayIdentifier() const { return m_displayIdentifier; }
    const std::string& displayName() const { return m_displayName; }
    bool isRunning() const { return m_running; }
    bool isFrontmost() const;

    void launch();
    void activate();
    void deactivate();
    void kill();

    // Nil until the application has launched.
    ApplicationContent* content() const { return m_content.get(); }
    // A URL for the application to show when it next comes to the front.
    void setPendingURL(std::string url) { m_pendingURL = std::move(url); }

private:
    std::string m_displayIdentifier;
    std::string m_displayName;
    ContentFactory m_factory;
    std::unique_ptr<ApplicationContent> m_content;
    std::string m_pendingURL;
    bool m_running { false };
};

} // namespace springboard
