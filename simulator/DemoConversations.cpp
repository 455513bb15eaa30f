#include "DemoConversations.h"

#include "DemoPictures.h"

#include <chatkit/Configuration.h>
#include <chatkit/MessageStore.h>
#include <chatkit/Schema.h>
#include <foundation/DevicePath.h>

#include <fmt/format.h>

namespace simulator {

namespace {

    // Friday 4 May 2012, 09:00 UTC: the history happens over that weekend.
    constexpr int64_t historyStart = 1336122000;

    constexpr int64_t minutes(int64_t count) { return historyStart + count * 60; }

    DemoMessage sms(std::string address, std::string text, int64_t date, bool outgoing = false, bool read = true)
    {
        return { chatkit::MessageKind::SMS, outgoing, outgoing || read, std::move(address), std::move(text), date, std::nullopt };
    }

    DemoMessage imessage(std::string address, std::string text, int64_t date, bool outgoing = false, bool read = true)
    {
        return { chatkit::MessageKind::IMessage, outgoing, outgoing || read, std::move(address), std::move(text), date, std::nullopt };
    }

    std::string mimeTypeOf(const std::string& fileName)
    {
        return fileName.ends_with(".PNG") || fileName.ends_with(".png") ? "image/png" : "image/jpeg";
    }

    // The history's dates also stamp the read receipts.
    class FixedChatClock {
    public:
        FixedChatClock()
        {
            chatkit::setClock([this] { return m_now; });
        }
        ~FixedChatClock() { chatkit::setClock({}); }
        void set(double now) { m_now = now; }

    private:
        double m_now { static_cast<double>(historyStart) };
    };

} // namespace

std::vector<DemoMessage> demoConversations()
{
    const std::string anna = "+393471234567";
    const std::string luca = "+393381112222";
    const std::string pizzeria = "+390815551234";
    const std::string rossana = "+393337654321";
    const std::string niccolo = "niccolo.dellacqua@example.it";
    const std::string stefan = "+40721234567";
    const std::string zoe = "+393281234000";
    const std::string stranger = "+393450009999";

    DemoMessage sunset = imessage(rossana, "Guarda che tramonto!", minutes(540));
    sunset.picture = "IMG_0001.JPG";

    return {
        sms(anna, "Ciao! Ci vediamo stasera?", minutes(0)),
        sms(anna, "Sì, alle 8 davanti al cinema 🎬", minutes(4), true),
        sms(anna, "Perfetto, porto anche Paolo", minutes(6)),
        sms(luca, "Domani riunione alle 9:30, ok?", minutes(95), true),
        sms(luca, "Ok, ci sarò. Porto io i documenti", minutes(101)),
        sms(pizzeria, "Il tuo ordine è pronto: 2 margherite, 1 diavola. Totale 18,50 €", minutes(480)),
        sunset,
        imessage(rossana, "Bellissimo! Dove sei?", minutes(542), true),
        imessage(niccolo, "Ti mando le foto della gita domani", minutes(600)),
        imessage(niccolo, "Grazie! 👍", minutes(603), true),
        sms(stefan, "Salut! Arrivo a Roma giovedì, ci sei?", minutes(700)),
        imessage(rossana, "Al mare, a Sperlonga 🌅 Torno domenica", minutes(1440), false, false),
        sms(stranger, "Promozione: 2 pizze al prezzo di 1 fino a domenica!", minutes(1500), false, false),
        sms(anna, "Hai visto il messaggio di Luca?", minutes(1510), false, false),
        imessage(zoe, "Stasera calcetto? Manca uno 😅", minutes(1520), false, false),
    };
}

foundation::Result<void> writeDemoMessages(const std::filesystem::path& databaseHostPath, const std::vector<DemoMessage>& messages)
{
    std::error_code ec;
    if (std::filesystem::exists(databaseHostPath, ec))
        return foundation::Error("a Messages database is already there");
    std::filesystem::path building = databaseHostPath;
    building += ".seeding";
    std::filesystem::remove(building, ec);
    TRY(chatkit::createDatabase(building));

    auto fail = [&](std::string why) {
        std::error_code ignored;
        std::filesystem::remove(building, ignored);
        return foundation::Error(std::move(why));
    };

    {
        auto opened = chatkit::MessageStore::open(building);
        if (!opened)
            return fail("cannot open the new Messages database: " + opened.reason());
        auto& store = *opened;
        FixedChatClock clock;
        size_t index = 0;
        for (const DemoMessage& message : messages) {
            ++index;
            chatkit::NewMessage row;
            row.kind = message.kind;
            row.outgoing = message.outgoing;
            row.address = message.address;
            row.text = message.text;
            row.unixDate = static_cast<double>(message.unixDate);
            if (message.kind == chatkit::MessageKind::IMessage)
                row.guid = fmt::format("0DE3A5F1-7C2B-4E6A-9B1D-{:012X}", index);
            if (message.picture) {
                auto file = foundation::readDeviceFile(photoLibraryPath(*message.picture));
                if (!file)
                    return fail("the picture " + *message.picture + " is not in the photo library");
                row.attachments.push_back({ file.releaseValue(), mimeTypeOf(*message.picture), *message.picture });
            }
            auto rowID = store->insert(row);
            if (!rowID)
                return fail(fmt::format("cannot write demo message {} to the Messages database: {}", index, rowID.reason()));
            clock.set(static_cast<double>(message.unixDate + 60));
            if (message.read && !message.outgoing && !store->markAsRead(*rowID))
                return fail(fmt::format("cannot mark demo message {} read", index));
        }
    }

    std::filesystem::rename(building, databaseHostPath, ec);
    if (ec)
        return fail("cannot move the new Messages database into place: " + ec.message());
    return foundation::success();
}

} // namespace simulator
