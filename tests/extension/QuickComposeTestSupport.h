// A fresh phone for each compose window test, on top of the quick reply
// window's fixture (virtual clock, device root, logger, the front
// application's orientation, an overlay window and a stand-in for RDL): a
// real sms.db and ChatKit for sending, and a real Address Book, favourites
// file and groups file for the recipient list.
#pragma once

#include "QuickReplyTestSupport.h"

#include <KelvaneLibrary/SharedFiles.h>
#include <addressbook/AddressBookClasses.h>
#include <addressbook/AddressBookWriter.h>
#include <chatkit/ChatKit.h>
#include <chatkit/Configuration.h>
#include <extension/KelvaneMessageSender.h>
#include <extension/QuickComposeViewController.h>
#include <foundation/KeyedArchive.h>
#include <foundation/PlistWriter.h>

#include <tuple>

namespace quickcompose_test {

using namespace quickreply_test;
using foundation::PlistArray;
using foundation::PlistDictionary;
using foundation::PlistValue;
using parlivo::QuickComposeViewController;

inline PlistValue member(std::string contact, bool isNumber)
{
    return PlistDictionary { { "contact", PlistValue(std::move(contact)) }, { "isNumber", PlistValue(isNumber) } };
}

class QuickComposeTest : public QuickReplyTest {
protected:
    void SetUp() override
    {
        QuickReplyTest::SetUp();
        parlivo::registerQuickComposeClasses();
        foundation::registerRunLoopClasses(); // the file classes the groups file is read with
        Bitmap bitmap { 2, 2, std::vector<uint8_t>(2 * 2 * 4, 90) };
        auto png = UIImagePNGRepresentation(UIImage::imageWithBitmap(bitmap));
        for (auto icon : { "SendIcon_sms.png", "SendIcon_im.png", "star.png", "close.png", "attachment.png" })
            writeDevice(std::string("/Library/Application Support/PLV/") + icon, png);
        addressbook::registerAddressBookClasses();
        auto created = chatkit::createDatabase(device->host(chatkit::smsDatabaseDevicePath));
        ASSERT_TRUE(created) << created.reason();
        chatkit::registerChatKitClasses();
        chatkit::resetConfiguration();
        chatkit::resetChatKitObjects();
        chatkit::useDeviceDatabase();
        parlivo::KelvaneMessageSender::classObject();

        device->makeDirectory("/var/mobile/Library/AddressBook");
        auto book = device->host(addressbook::AddressBookDevicePath);
        ASSERT_TRUE(addressbook::createAddressBookDatabase(book));
        auto writer = addressbook::AddressBookWriter::open(book);
        for (auto [first, last, phone] : std::initializer_list<std::tuple<const char*, const char*, const char*>> {
                 { "Anna", "Rossi", "+39 347 123 4567" }, { "Bruno", "Prosperi", "333 765 0000" }, { "Carla", "Verdi", "06 1234567" } }) {
            addressbook::PersonData person;
            person.first = first;
            person.last = last;
            person.phones.push_back({ std::string("_$!<Mobile>!$_"), std::string(phone), -1 });
            ASSERT_TRUE(writer->addPerson(person));
        }
        device->write(kelvane::FavoritesPath, foundation::writeXmlPlist(PlistDictionary { { "+39 333 999 0000", "Rosa Bianca" }, { "0612", "Ufficio" } }));
        device->makeDirectory("/var/mobile/Library/Cellarine");
        PlistArray groups {
            PlistDictionary { { "name", "Calcetto" }, { "members", PlistArray { member("3281234000", true), member("3281234001", true), member("niccolo@example.it", false) } } },
            PlistDictionary { { "name", "Vuoto" }, { "members", PlistArray {} } },
        };
        ASSERT_TRUE(foundation::writeKeyedArchiveAtomically(device->host(kelvane::GroupsPath), groups, foundation::PlistFormat::Binary));
    }

    void TearDown() override
    {
        compose = nullptr;
        chatkit::closeDatabase();
        chatkit::resetChatKitObjects();
        chatkit::resetConfiguration();
        QuickReplyTest::TearDown();
    }

    // What RDL does at the Activator event, then the opening finishing.
    Ref<QuickComposeViewController> open()
    {
        Id made = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("QuickComposeViewController"), "alloc"), "init");
        compose = runtime::cast<QuickComposeViewController>(made);
        runtime::send(compose, "setDelegate:", Id(controller));
        runtime::send(compose, "prepareView:", false);
        overlay->addSubview(compose->view());
        loop().advance(QuickComposeViewController::OpeningDuration + QuickComposeViewController::RotationDuration + 0.1);
        return compose;
    }

    void rotateCompose(int64_t orientation)
    {
        application->orientation = orientation;
        runtime::send(compose, "deviceRotated:", orientation);
        loop().advance(QuickComposeViewController::RotationDuration + 0.05);
    }

    // Taps into the To field and types, as the keyboard does.
    void search(const std::string& text)
    {
        if (!compose->toField()->isFirstResponder())
            compose->toField()->becomeFirstResponder();
        compose->toField()->insertText(text);
    }

    void choose(int64_t row) { compose->didSelectRow(compose->contactsTableView(), NSIndexPathMake(0, row)); }

    void write(const std::string& text)
    {
        compose->replyField()->becomeFirstResponder();
        compose->replyField()->insertText(text);
    }

    void pressSend() { compose->sendButton()->sendActionsForControlEvents(UIControlEventTouchUpInside); }

    std::vector<std::string> rowTitles()
    {
        std::vector<std::string> titles;
        auto table = compose->contactsTableView();
        for (int64_t row = 0; table && row < table->numberOfRowsInSection(0); ++row)
            titles.emplace_back(compose->searchedPeople()[static_cast<size_t>(row)]->name);
        return titles;
    }

    static std::vector<chatkit::MessageSummary> sentRows()
    {
        std::vector<chatkit::MessageSummary> sent;
        for (auto& row : chatkit::listMessages())
            if (row.outgoing)
                sent.push_back(row);
        return sent;
    }

    static std::string sendIconPath(const Ref<QuickComposeViewController>& window, int64_t state = UIControlStateNormal)
    {
        auto image = window->sendButton()->backgroundImageForState(state);
        return image ? image->path().value_or("data") : "nil";
    }

    Ref<QuickComposeViewController> compose;
};

} // namespace quickcompose_test
