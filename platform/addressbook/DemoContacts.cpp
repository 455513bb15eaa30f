#include "DemoContacts.h"

#include "ABLabels.h"
#include "AddressBookWriter.h"

#include <array>
#include <random>
#include <string_view>

namespace addressbook {

namespace {

    struct Name {
        std::string_view shown;
        std::string_view ascii; // for e-mail addresses
    };

    constexpr std::array<Name, 40> firstNames { {
        { "Marco", "marco" },
        { "Giulia", "giulia" },
        { "Luca", "luca" },
        { "Francesca", "francesca" },
        { "Alessandro", "alessandro" },
        { "Chiara", "chiara" },
        { "Matteo", "matteo" },
        { "Sara", "sara" },
        { "Lorenzo", "lorenzo" },
        { "Martina", "martina" },
        { "Andrea", "andrea" },
        { "Valentina", "valentina" },
        { "Davide", "davide" },
        { "Federica", "federica" },
        { "Simone", "simone" },
        { "Elisa", "elisa" },
        { "Niccolò", "niccolo" },
        { "Nicolò", "nicolo" },
        { "Gabriele", "gabriele" },
        { "Alessia", "alessia" },
        { "Riccardo", "riccardo" },
        { "Ilaria", "ilaria" },
        { "Tommaso", "tommaso" },
        { "Beatrice", "beatrice" },
        { "Emanuele", "emanuele" },
        { "Noemi", "noemi" },
        { "Pietro", "pietro" },
        { "Aurora", "aurora" },
        { "Giovanni", "giovanni" },
        { "Elena", "elena" },
        { "Stefano", "stefano" },
        { "Silvia", "silvia" },
        { "Zoë", "zoe" },
        { "José", "jose" },
        { "Raffaele", "raffaele" },
        { "Rosa", "rosa" },
        { "Salvatore", "salvatore" },
        { "Annalisa", "annalisa" },
        { "Nicola", "nicola" },
        { "Irene", "irene" },
    } };

    constexpr std::array<Name, 40> lastNames { {
        { "Bianchi", "bianchi" },
        { "Romano", "romano" },
        { "Colombo", "colombo" },
        { "Ricci", "ricci" },
        { "Marino", "marino" },
        { "Greco", "greco" },
        { "Bruno", "bruno" },
        { "Gallo", "gallo" },
        { "Conti", "conti" },
        { "De Luca", "deluca" },
        { "Mancini", "mancini" },
        { "Costa", "costa" },
        { "Giordano", "giordano" },
        { "Rizzo", "rizzo" },
        { "Lombardi", "lombardi" },
        { "Moretti", "moretti" },
        { "D'Angelo", "dangelo" },
        { "Dell'Orto", "dellorto" },
        { "Cantù", "cantu" },
        { "Barbieri", "barbieri" },
        { "Fontana", "fontana" },
        { "Santoro", "santoro" },
        { "Mariani", "mariani" },
        { "Rinaldi", "rinaldi" },
        { "Caruso", "caruso" },
        { "Ferrara", "ferrara" },
        { "Galli", "galli" },
        { "Martini", "martini" },
        { "Leone", "leone" },
        { "Longo", "longo" },
        { "Gentile", "gentile" },
        { "Vitale", "vitale" },
        { "Serra", "serra" },
        { "Coppola", "coppola" },
        { "De Santis", "desantis" },
        { "Marchetti", "marchetti" },
        { "Parisi", "parisi" },
        { "Villa", "villa" },
        { "Niccolò", "niccolo" },
        { "Forlì", "forli" },
    } };

    // Mobile and landline prefixes that the fixed head does not use, so no
    // generated number repeats one of its numbers.
    constexpr std::array<std::string_view, 12> mobilePrefixes { "331", "334", "335", "336", "342", "344", "346", "350", "366", "377", "380", "391" };
    constexpr std::array<std::string_view, 8> landlinePrefixes { "010", "011", "040", "051", "055", "070", "080", "091" };
    constexpr std::array<std::string_view, 3> emailDomains { "example.it", "example.com", "mail.example.org" };

    std::optional<std::string> text(std::string_view value)
    {
        return std::string(value);
    }

    LabeledValue labeled(std::string_view label, std::string_view value)
    {
        return { text(label), text(value) };
    }

    PersonData person(std::optional<std::string> first, std::optional<std::string> last, std::vector<LabeledValue> phones,
        std::vector<LabeledValue> emails = {})
    {
        PersonData data;
        data.first = std::move(first);
        data.last = std::move(last);
        data.phones = std::move(phones);
        data.emails = std::move(emails);
        return data;
    }

    std::vector<PersonData> fixedHead()
    {
        std::vector<PersonData> people;
        people.push_back(person("Anna", "Rossi", { labeled(kABPersonPhoneMobileLabel, "+39 347 123 4567"), labeled(kABHomeLabel, "06 1234 5678") },
            { labeled(kABHomeLabel, "anna.rossi@example.it") }));
        people.push_back(person("ROSSANA", std::nullopt, { labeled(kABPersonPhoneIPhoneLabel, "333 765 4321") }));
        people.push_back(person(std::nullopt, "Prosper", { labeled(kABWorkLabel, "+39 02 8765 4321") }));
        people.push_back(person(std::nullopt, "Rossi", { labeled(kABPersonPhoneMobileLabel, "348-555-0101") }));
        people.push_back(person(std::nullopt, std::nullopt, { labeled(kABPersonPhoneMobileLabel, "339 000 1122") }));
        people.push_back(person("Niccolò", "Dell'Acqua", { labeled(kABPersonPhoneMobileLabel, "+39 320 111 2233") },
            { labeled(kABWorkLabel, "niccolo.dellacqua@example.it") }));
        people.push_back(person("Zoë", "Cantù", { labeled(kABPersonPhoneMobileLabel, "3281234000") }));
        PersonData pizzeria = person(std::nullopt, std::nullopt, { labeled(kABPersonPhoneMainLabel, "081 555 1234") });
        pizzeria.organization = "Pizzeria Da Mario";
        people.push_back(std::move(pizzeria));
        people.push_back(person("Giulia", "Bianchi", {}, { labeled(kABHomeLabel, "giulia@example.com"), labeled(kABWorkLabel, "G.Bianchi@Example.org") }));
        people.push_back(person("Marco", "Neri", {}));
        people.push_back(person("Luca", "Ferrari",
            { labeled(kABPersonPhoneMobileLabel, "+393381112222"), labeled(kABPersonPhoneIPhoneLabel, "338.111.3333"),
                labeled(kABWorkLabel, "(02) 4455 6677"), labeled("Ufficio Milano", "02/44556678") },
            { labeled(kABWorkLabel, "luca.ferrari@example.it"), labeled(kABOtherLabel, "lf@example.com") }));
        PersonData maria = person("Maria", "Esposito", { labeled(kABPersonPhoneMobileLabel, "347 555 7788") });
        maria.middle = "Grazia";
        people.push_back(std::move(maria));
        // The same home line as Anna Rossi, written differently.
        people.push_back(person("Paolo", "Rossi", { labeled(kABHomeLabel, "0612345678") }));
        people.push_back(person("Franco", "Gallo", { labeled(kABPersonPhoneMobileLabel, "0039 347 999 8877") }));
        people.push_back(person("Carla", "de Luca", { labeled(kABPersonPhoneMobileLabel, "+39 329 456 7890") }));
        people.push_back(person("Ștefan", "Popescu", { labeled(kABPersonPhoneMobileLabel, "+40 721 234 567") }));
        return people;
    }

    std::string digitsOf(uint64_t value, size_t width)
    {
        std::string digits(width, '0');
        for (size_t i = width; i-- > 0; value /= 10)
            digits[i] = static_cast<char>('0' + value % 10);
        return digits;
    }

    // Serial numbers map to distinct seven-digit subscriber numbers (7919 is prime to 10^7).
    std::string subscriber(uint64_t serial, uint32_t seed) { return digitsOf((serial * 7919 + seed) % 10'000'000, 7); }

    std::string mobileNumber(std::mt19937& random, uint64_t serial, uint32_t seed)
    {
        std::string_view prefix = mobilePrefixes[random() % mobilePrefixes.size()];
        std::string rest = subscriber(serial, seed);
        std::string_view a(rest.data(), 3), b(rest.data() + 3, 4);
        switch (random() % 5) {
        case 0:
            return "+39 " + std::string(prefix) + " " + std::string(a) + " " + std::string(b);
        case 1:
            return std::string(prefix) + " " + rest;
        case 2:
            return std::string(prefix) + "-" + std::string(a) + "-" + std::string(b);
        case 3:
            return "+39" + std::string(prefix) + rest;
        default:
            return std::string(prefix) + rest;
        }
    }

    std::string landlineNumber(std::mt19937& random, uint64_t serial, uint32_t seed)
    {
        std::string_view prefix = landlinePrefixes[random() % landlinePrefixes.size()];
        std::string rest = subscriber(serial, seed);
        if (random() % 2)
            return "+39 " + std::string(prefix) + " " + rest;
        return std::string(prefix) + " " + rest;
    }

    PersonData generatedPerson(std::mt19937& random, size_t index, uint32_t seed)
    {
        const Name& first = firstNames[random() % firstNames.size()];
        const Name& last = lastNames[random() % lastNames.size()];
        PersonData data;
        unsigned shape = random() % 100;
        if (shape < 85 || shape >= 97) {
            data.first = std::string(first.shown);
            data.last = std::string(last.shown);
        } else if (shape < 92) {
            data.first = std::string(first.shown);
        } else {
            data.last = std::string(last.shown);
        }
        if (shape == 99) {
            data.first.reset();
            data.last.reset();
        }

        unsigned phoneDraw = random() % 100;
        size_t phoneCount = phoneDraw < 5 ? 0 : phoneDraw < 65 ? 1
            : phoneDraw < 90                                   ? 2
                                                               : 3;
        static constexpr std::array<std::string_view, 5> phoneLabels { kABPersonPhoneMobileLabel, kABPersonPhoneIPhoneLabel, kABHomeLabel, kABWorkLabel, kABPersonPhoneMainLabel };
        for (size_t k = 0; k < phoneCount; ++k) {
            uint64_t serial = index * 3 + k;
            std::string_view label = phoneLabels[random() % phoneLabels.size()];
            bool landline = label == kABHomeLabel || label == kABWorkLabel || label == kABPersonPhoneMainLabel;
            data.phones.push_back(labeled(label, landline ? landlineNumber(random, serial, seed) : mobileNumber(random, serial, seed)));
        }

        unsigned emailDraw = random() % 100;
        size_t emailCount = emailDraw < 65 ? 0 : emailDraw < 95 ? 1
                                                                : 2;
        static constexpr std::array<std::string_view, 3> emailLabels { kABHomeLabel, kABWorkLabel, kABOtherLabel };
        for (size_t k = 0; k < emailCount; ++k) {
            std::string local = std::string(data.first ? first.ascii : "info") + "." + std::string(data.last ? last.ascii : "contatto") + std::to_string(index)
                + (k ? "." + std::to_string(k) : "");
            data.emails.push_back(labeled(emailLabels[random() % emailLabels.size()], local + "@" + std::string(emailDomains[random() % emailDomains.size()])));
        }
        return data;
    }

} // namespace

size_t demoContactsFixedCount() { return fixedHead().size(); }

std::vector<PersonData> demoContacts(size_t count, uint32_t seed)
{
    std::vector<PersonData> people = fixedHead();
    if (people.size() >= count) {
        people.resize(count);
        return people;
    }
    // mt19937's sequence is fixed by the standard, and only its raw output is
    // used (no distributions), so the people are the same on every library.
    std::mt19937 random(seed);
    people.reserve(count);
    for (size_t index = people.size(); index < count; ++index)
        people.push_back(generatedPerson(random, index, seed));
    return people;
}

bool writeDemoAddressBook(const std::filesystem::path& hostPath, size_t count, uint32_t seed)
{
    if (!createAddressBookDatabase(hostPath))
        return false;
    auto writer = AddressBookWriter::open(hostPath);
    if (!writer)
        return false;
    auto people = demoContacts(count, seed);
    return writer->addPeople(people);
}

} // namespace addressbook
