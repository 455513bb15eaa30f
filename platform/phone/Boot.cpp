#include "Phone.h"

#include <activator/LAActivator.h>
#include <addressbook/AddressBookClasses.h>
#include <addressbook/ContactNameResolver.h>
#include <chatkit/ChatKit.h>
#include <chatkit/Database.h>
#include <foundation/DevicePath.h>
#include <foundation/NotificationCenter.h>
#include <foundation/SystemLog.h>
#include <mail/MailClasses.h>
#include <springboard/SBApplicationController.h>
#include <springboard/SpringBoard.h>
#include <springboard/SpringBoardClasses.h>
#include <springboard/SpringBoardContext.h>
#include <substrate/ExtensionLoader.h>
#include <uikit/UIKit.h>

#ifdef PLV_HAVE_MESSAGEUI
#include <messageui/MessageUIClasses.h>
#endif

#include <atomic>

namespace phone {

using foundation::Error;
using runtime::Id;
using springboard::SpringBoard;

namespace {
    std::atomic<bool> s_phoneRunning { false };
}

struct Phone::State {
    std::shared_ptr<addressbook::ContactNameResolver> resolver;
    substrate::LoadReport extensions;
};

foundation::Result<std::unique_ptr<Phone>> Phone::boot(BootOptions options)
{
    if (s_phoneRunning.exchange(true))
        return Error("a phone is already running in this process");
    std::unique_ptr<Phone> phone(new Phone(std::move(options)));
    TRY(phone->start());
    return phone;
}

Phone::Phone(BootOptions options)
    : m_options(std::move(options))
{
}

foundation::Result<void> Phone::start()
{
    std::error_code ignored;
    if (m_options.deviceRoot.empty())
        return Error("no device root was given");
    if (!std::filesystem::is_directory(m_options.deviceRoot, ignored))
        return Error("the device root " + m_options.deviceRoot.string() + " is not a folder");

    foundation::setDeviceRoot(m_options.deviceRoot);
    foundation::RunLoop::configureMain(m_options.clock);
    foundation::installSystemLogAsDiagnosticSink();
    foundation::SystemLog::shared().setProcessName("SpringBoard");

    // A fresh phone: nothing of an earlier one in this process survives.
    uikit::resetUIKit();
    springboard::resetSpringBoard();
    activator::resetActivator();
    chatkit::resetChatKitObjects();
    chatkit::useDeviceDatabase();
    mail::resetMailObjects();

    foundation::registerRunLoopClasses();
    foundation::registerNotificationClasses();
    uikit::registerUIKitClasses();
    chatkit::registerChatKitClasses();
    addressbook::registerAddressBookClasses();
    mail::registerMailClasses();
#ifdef PLV_HAVE_MESSAGEUI
    messageui::registerMessageUIClasses();
#endif
    activator::registerActivatorClasses();
    springboard::registerSpringBoardClasses();

    m_state = std::make_unique<State>();
    m_state->resolver = std::make_shared<addressbook::ContactNameResolver>(addressbook::ContactNameResolver::forPhoneAddressBook());
    // Senders are named from this phone's Address Book: the messaging
    // frameworks and SpringBoard ask chatkit's contact-name resolver, which
    // is this one.
    chatkit::setContactNameResolver([resolver = m_state->resolver](const std::string& address) { return resolver->displayNameForAddress(address).value_or(std::string()); });
    chatkit::setLogSink([](std::string_view line) { foundation::NSLog(line); });
    foundation::NotificationCenter::darwin().connect(foundation::hostPath(foundation::NotificationCenter::DeviceFolder));

    auto springBoard = runtime::make<SpringBoard>();
    springboard::springBoardContext().springBoard = springBoard;
    uikit::UIApplication::setSharedApplication(springBoard);

    // The extensions' constructors install their hooks before SpringBoard launches.
    if (m_options.loadExtensions)
        m_state->extensions = substrate::loadExtensions();
    for (auto& extension : m_options.inProcessExtensions) {
        if (extension)
            foundation::callReportingExceptions("extension constructor", extension);
    }

    // The home screen shows an icon for every application installed by now.
    auto applications = springboard::SBApplicationController::sharedInstance();
    for (auto& bundle : springboard::findInstalledApplications())
        applications->addApplication(springboard::makeHostedApplication(std::move(bundle)));
    for (const auto& bundle : m_options.inProcessApplications)
        applications->addApplication(springboard::makeHostedApplication(bundle));

    runtime::send(springBoard, "applicationDidFinishLaunching:", Id(springBoard));
    if (m_options.clock == foundation::ClockKind::Virtual)
        runLoop().runPending();
    return foundation::success();
}

Phone::~Phone()
{
    if (m_state) {
        foundation::NotificationCenter::darwin().disconnect();
        activator::resetActivator();
        springboard::resetSpringBoard();
        mail::resetMailObjects();
        chatkit::resetChatKitObjects();
        chatkit::closeDatabase();
        chatkit::setContactNameResolver({});
        uikit::resetUIKit();
        // A new loop drops the timers and work the old phone left behind.
        foundation::RunLoop::configureMain(m_options.clock);
    }
    s_phoneRunning = false;
}

} // namespace phone
