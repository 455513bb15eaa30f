// A phone booted with Rendalo installed in-process (its two start-up steps,
// as its constructors run them), with helpers to read Rendalo's log, reach
// its controller and window, and see what left the phone (sms.db, the mail
// Outbox).
#pragma once

#include "springboard/PhoneFixture.h"

#include <KelvaneLibrary/KelvaneLogger.h>
#include <KelvaneLibrary/SharedFiles.h>
#include <Rendalo/HeavyUtilities.h>
#include <Rendalo/QuickReplyViewController.h>
#include <Rendalo/RDL.h>
#include <Rendalo/Rendalo.h>
#include <Rendalo/RendaloState.h>
#include <chatkit/ChatKit.h>
#include <foundation/Executor.h>
#include <foundation/PlistWriter.h>
#include <mail/MailOutbox.h>

#include <fstream>
#include <sstream>

namespace rendalo_test {

using runtime::Id;
using runtime::send;

class RendaloTest : public springboard_test::PhoneWithOneContact {
protected:
    void SetUp() override
    {
        springboard_test::PhoneWithOneContact::SetUp();
        kelvane::KelvaneLogger::resetForTesting();
    }

    void TearDown() override
    {
        foundation::Executor::shared().drain();
        rendalo::uninstallRendalo();
        springboard_test::PhoneWithOneContact::TearDown();
    }

    phone::Phone& bootWithRendalo()
    {
        phone::BootOptions options;
        options.loadExtensions = false;
        options.inProcessExtensions.push_back([] { rendalo::installRendalo(); });
        return boot(std::move(options));
    }

    rendalo::RendaloState& state() { return rendalo::rendaloState(); }
    rendalo::RDL& rdl() { return *rendalo::rendaloState().rdl; }
    runtime::Ref<rendalo::QuickReplyViewController> window() { return runtime::cast<rendalo::QuickReplyViewController>(rdl().qRVC()); }

    void writePreferences(const foundation::PlistDictionary& values)
    {
        auto path = foundation::hostPath(kelvane::RDLPreferencesPath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << foundation::writeXmlPlist(foundation::PlistValue(values));
    }

    std::string logText()
    {
        std::ifstream in(foundation::hostPath(kelvane::RDLLogPath), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool logHas(std::string_view entry) { return logText().find(entry) != std::string::npos; }
    // The entries appear in this order (others may come between).
    bool logHasInOrder(std::initializer_list<std::string_view> entries)
    {
        std::string text = logText();
        size_t at = 0;
        for (auto entry : entries) {
            at = text.find(entry, at);
            if (at == std::string::npos)
                return false;
            at += entry.size();
        }
        return true;
    }

    std::vector<chatkit::MessageSummary> sentRows()
    {
        std::vector<chatkit::MessageSummary> sent;
        for (auto& row : chatkit::listMessages())
            if (row.outgoing)
                sent.push_back(row);
        return sent;
    }

    // Receives a mail and taps its banner: the panel opens with the mail,
    // and the preferences reload it started has finished.
    void openMail(const std::string& from, const std::string& body)
    {
        ASSERT_TRUE(phone().receiveMail(from, "Subject", body));
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        foundation::Executor::shared().drain();
        phone().advance(1);
    }

    void openSMS(const std::string& from, const std::string& text)
    {
        ASSERT_TRUE(phone().receiveSMS(from, text));
        ASSERT_TRUE(phone().tapView("bannerTitle"));
        foundation::Executor::shared().drain();
        phone().advance(1);
    }

    // "Reply", then the typed text, then "Send".
    void replyWith(const std::string& text)
    {
        ASSERT_TRUE(phone().tapView("sendButton"));
        phone().advance(1);
        ASSERT_TRUE(phone().type(text));
        ASSERT_TRUE(phone().tapView("sendButton"));
    }
};

} // namespace rendalo_test
