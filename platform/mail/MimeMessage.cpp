#include "MimeMessage.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace mail {

namespace {

    // GMime promises no thread safety, and it and GLib keep process-wide
    // state (charset tables, the slice allocator) behind locks the thread
    // checker cannot see. Mail is composed rarely, so every use of GMime
    // simply takes one lock; it also initialises the library on first use.
    std::unique_lock<std::mutex> useGMime()
    {
        static std::mutex lock;
        std::unique_lock guard(lock);
        static bool initialised = false;
        if (!initialised) {
            g_mime_init();
            initialised = true;
        }
        return guard;
    }

    struct GObjectUnref {
        void operator()(void* object) const
        {
            if (object)
                g_object_unref(object);
        }
    };
    template <class T>
    using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

    struct GFree {
        void operator()(void* p) const { g_free(p); }
    };
    using GString = std::unique_ptr<char, GFree>;

    std::string fromGString(char* text)
    {
        GString owned(text);
        return owned ? std::string(owned.get()) : std::string();
    }

    // Text parts carry UTF-8 without NUL bytes; anything else would be cut
    // short or mislabelled by the charset guess.
    std::string validUtf8(std::string_view text)
    {
        std::string withoutNul;
        withoutNul.reserve(text.size());
        std::copy_if(text.begin(), text.end(), std::back_inserter(withoutNul), [](char c) { return c != '\0'; });
        if (g_utf8_validate(withoutNul.data(), static_cast<gssize>(withoutNul.size()), nullptr))
            return withoutNul;
        return fromGString(g_utf8_make_valid(withoutNul.data(), static_cast<gssize>(withoutNul.size())));
    }

    bool isTokenCharacter(char c)
    {
        return g_ascii_isalnum(c) || std::string_view("!#$&^_.+-").find(c) != std::string_view::npos;
    }

    bool isMimeType(std::string_view type)
    {
        auto slash = type.find('/');
        if (slash == std::string_view::npos || slash == 0 || slash + 1 == type.size())
            return false;
        auto token = [](std::string_view part) { return std::all_of(part.begin(), part.end(), isTokenCharacter); };
        return token(type.substr(0, slash)) && token(type.substr(slash + 1));
    }

    void addAddresses(GMimeMessage* message, GMimeAddressType type, const std::vector<std::string>& entries)
    {
        InternetAddressList* target = g_mime_message_get_addresses(message, type);
        for (const auto& entry : entries) {
            std::string safe = validUtf8(headerSafe(entry));
            GObjectPtr<InternetAddressList> parsed(internet_address_list_parse(nullptr, safe.c_str()));
            if (parsed)
                internet_address_list_append(target, parsed.get());
        }
    }

    // The header's value as it is written, in GMime's form: a leading space,
    // folded lines, a final line break.
    void setRawHeader(GMimeMessage* message, const char* name, const std::string& value)
    {
        GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
        if (GMimeHeader* header = g_mime_header_list_get_header(headers, name))
            g_mime_header_set_raw_value(header, (" " + value + "\n").c_str());
    }

    // Text that spells "=?" would read back decoded wherever it looks like an
    // encoded word, and GMime writes such text as it is; in a display name it
    // also leaves any "=" bare inside the encoded words it writes, which then
    // decode to something else. Such text is written as encoded words of all
    // its UTF-8 bytes, cut on character boundaries, one to a line of at most
    // 76 characters.
    //
    // GMime's own words for text beyond ASCII lose characters on the way
    // back, too (a short padded word before an ASCII run drops what follows
    // it; runs of one accented letter come back shorter), so every subject
    // and display name beyond ASCII is written as our words as well.
    bool spellsEncodedWord(std::string_view text) { return text.find("=?") != std::string_view::npos; }
    bool isBeyondAscii(std::string_view text)
    {
        return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    bool subjectNeedsOwnWords(std::string_view subject) { return spellsEncodedWord(subject) || isBeyondAscii(subject); }
    bool nameNeedsOwnWords(std::string_view name) { return name.find('=') != std::string_view::npos || isBeyondAscii(name); }

    std::string encodedWords(std::string_view text)
    {
        constexpr size_t bytesPerWord = 36; // 48 characters of base64
        std::string words;
        while (!text.empty()) {
            // GMime decodes adjacent words as one stream, so a word with
            // base64 padding loses every word after it: words before the last
            // take a multiple of three bytes, which needs none.
            auto boundary = [&](size_t at) { return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80; };
            size_t take = std::min(bytesPerWord, text.size());
            if (take < text.size()) {
                size_t padless = take - take % 3;
                while (padless > 0 && !boundary(padless))
                    padless -= 3;
                while (take > 1 && !boundary(take))
                    --take;
                if (padless > 0)
                    take = padless;
            }
            GString encoded(g_base64_encode(reinterpret_cast<const guchar*>(text.data()), take));
            if (!words.empty())
                words += "\n ";
            words += "=?UTF-8?B?" + std::string(encoded.get()) + "?=";
            text.remove_prefix(take);
        }
        return words;
    }

    std::string encodedPhrase(const char* name)
    {
        if (nameNeedsOwnWords(name))
            return encodedWords(name);
        return fromGString(g_mime_utils_header_encode_phrase(nullptr, name, "utf-8"));
    }

    // One recipient as it is written. GMime writes a nameless mailbox without
    // a domain ("bob", as a draft may hold) bare, and reading takes bare words
    // before a named entry as part of that entry's name: "bob, Anna
    // <anna@x.it>" would read as one entry. Such a mailbox is written in angle
    // brackets, so every entry reads back as itself.
    std::string writtenAddress(InternetAddress* address)
    {
        const char* name = internet_address_get_name(address);
        bool named = name && *name;
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            std::string addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
            if (!named && addr.find('@') == std::string::npos)
                return "<" + addr + ">";
            if (!named || !nameNeedsOwnWords(name))
                return fromGString(internet_address_to_string(address, nullptr, TRUE));
            return encodedWords(name) + " <" + addr + ">";
        }
        std::string members;
        InternetAddressList* list = internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address));
        for (int i = 0, count = list ? internet_address_list_length(list) : 0; i < count; ++i) {
            if (InternetAddress* member = internet_address_list_get_address(list, i))
                members += (members.empty() ? "" : ", ") + writtenAddress(member);
        }
        return (named ? encodedPhrase(name) : std::string()) + ": " + members + ";";
    }

    bool namesSpellEncodedWords(InternetAddress* address)
    {
        const char* name = internet_address_get_name(address);
        if (name && spellsEncodedWord(name))
            return true;
        if (!INTERNET_ADDRESS_IS_GROUP(address))
            return false;
        InternetAddressList* list = internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address));
        for (int i = 0, count = list ? internet_address_list_length(list) : 0; i < count; ++i) {
            InternetAddress* member = internet_address_list_get_address(list, i);
            if (member && namesSpellEncodedWords(member))
                return true;
        }
        return false;
    }

    // An entry as reading answers it: a nameless mailbox as its address,
    // anything else as GMime spells it. An entry is read again as a person
    // types it (decoding encoded words), so a name that spells one keeps its
    // encoded form. Any control character a folded or encoded name holds is
    // a space, as writing would keep it.
    std::vector<std::string> addressStrings(InternetAddressList* list)
    {
        std::vector<std::string> result;
        for (int i = 0, count = list ? internet_address_list_length(list) : 0; i < count; ++i) {
            InternetAddress* address = internet_address_list_get_address(list, i);
            if (!address)
                continue;
            if (INTERNET_ADDRESS_IS_MAILBOX(address) && !internet_address_get_name(address))
                result.push_back(headerSafe(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))));
            else if (namesSpellEncodedWords(address))
                result.push_back(headerSafe(writtenAddress(address)));
            else
                result.push_back(headerSafe(fromGString(internet_address_to_string(address, nullptr, FALSE))));
        }
        return result;
    }

    // Each entry on a line of its own.
    void writeAddressHeader(GMimeMessage* message, GMimeAddressType type, const char* name)
    {
        InternetAddressList* list = g_mime_message_get_addresses(message, type);
        std::string value;
        for (int i = 0, count = list ? internet_address_list_length(list) : 0; i < count; ++i) {
            if (InternetAddress* address = internet_address_list_get_address(list, i))
                value += (value.empty() ? "" : ",\n\t") + writtenAddress(address);
        }
        if (!value.empty())
            setRawHeader(message, name, value);
    }

    void writeSubjectHeader(GMimeMessage* message, std::string_view subject)
    {
        if (subjectNeedsOwnWords(subject))
            setRawHeader(message, "Subject", encodedWords(subject));
    }

    GObjectPtr<GMimeTextPart> textPart(const MailMessage& message)
    {
        GObjectPtr<GMimeTextPart> text(g_mime_text_part_new_with_subtype(message.bodyIsHTML ? "html" : "plain"));
        // The text always ends in a line break of ours, which reading takes
        // off again, so a body with and one without a final break both
        // come back as they were. Line breaks are given as the mail's own
        // CRLF: a carriage return of the text's own (at its end, say) then
        // stays one, where it would otherwise join the LF after it and come
        // back as a line break.
        std::string body;
        for (char c : validUtf8(message.body)) {
            if (c == '\n')
                body += '\r';
            body += c;
        }
        body += "\r\n";
        g_mime_text_part_set_text(text.get(), body.c_str());
        // Long lines and 8-bit text get quoted-printable, so the file stays 7-bit clean.
        g_mime_object_encode(GMIME_OBJECT(text.get()), GMIME_ENCODING_CONSTRAINT_7BIT);
        return text;
    }

    GObjectPtr<GMimePart> attachmentPart(const MailAttachment& attachment)
    {
        GObjectPtr<GMimePart> part(g_mime_part_new());
        std::string type = isMimeType(attachment.mimeType) ? attachment.mimeType : "application/octet-stream";
        GObjectPtr<GMimeContentType> contentType(g_mime_content_type_parse(nullptr, type.c_str()));
        if (contentType)
            g_mime_object_set_content_type(GMIME_OBJECT(part.get()), contentType.get());
        GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(attachment.data.data()), attachment.data.size()));
        GObjectPtr<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
        g_mime_part_set_content(part.get(), content.get());
        g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
        g_mime_object_set_disposition(GMIME_OBJECT(part.get()), GMIME_DISPOSITION_ATTACHMENT);
        std::string name = validUtf8(safeFileName(attachment.fileName));
        g_mime_part_set_filename(part.get(), name.c_str());
        return part;
    }

    std::vector<uint8_t> decodedContent(GMimePart* part)
    {
        std::vector<uint8_t> bytes;
        GMimeDataWrapper* content = g_mime_part_get_content(part);
        if (!content)
            return bytes;
        GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
        if (g_mime_data_wrapper_write_to_stream(content, out.get()) < 0)
            return bytes;
        GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
        if (array && array->len)
            bytes.assign(array->data, array->data + array->len);
        return bytes;
    }

    // Mail lines end in CRLF; the platform's strings use LF. The final line
    // break closes the text rather than belonging to it.
    std::string withLineFeeds(std::string text)
    {
        std::string result;
        result.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            result += text[i];
        }
        if (result.ends_with('\n'))
            result.pop_back();
        return result;
    }

    struct ReadState {
        MailMessage* message;
        bool haveBody { false };
    };

    void collectPart(GMimeObject*, GMimeObject* object, gpointer data)
    {
        auto& state = *static_cast<ReadState*>(data);
        if (!GMIME_IS_PART(object))
            return;
        auto* part = GMIME_PART(object);
        if (!state.haveBody && GMIME_IS_TEXT_PART(object) && !g_mime_part_is_attachment(part)) {
            state.haveBody = true;
            state.message->body = withLineFeeds(fromGString(g_mime_text_part_get_text(GMIME_TEXT_PART(object))));
            const char* subtype = g_mime_content_type_get_media_subtype(g_mime_object_get_content_type(object));
            state.message->bodyIsHTML = subtype && g_ascii_strcasecmp(subtype, "html") == 0;
            return;
        }
        MailAttachment attachment;
        attachment.data = decodedContent(part);
        attachment.mimeType = fromGString(g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object)));
        if (const char* name = g_mime_part_get_filename(part))
            attachment.fileName = name;
        state.message->attachments.push_back(std::move(attachment));
    }

} // namespace

std::string headerSafe(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return result;
}

std::string safeFileName(std::string_view name)
{
    auto slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    std::string result = headerSafe(name);
    auto first = result.find_first_not_of(' ');
    auto last = result.find_last_not_of(' ');
    result = first == std::string::npos ? std::string() : result.substr(first, last - first + 1);
    if (result.empty() || result == "." || result == "..")
        return "attachment";
    return result;
}

bool isValidMailAddress(std::string_view entry)
{
    auto gmime = useGMime();
    std::string safe = headerSafe(entry);
    if (safe != entry || !g_utf8_validate(safe.data(), static_cast<gssize>(safe.size()), nullptr))
        return false;
    GObjectPtr<InternetAddressList> parsed(internet_address_list_parse(nullptr, safe.c_str()));
    if (!parsed || internet_address_list_length(parsed.get()) != 1)
        return false;
    InternetAddress* address = internet_address_list_get_address(parsed.get(), 0);
    if (!address || !INTERNET_ADDRESS_IS_MAILBOX(address))
        return false;
    std::string_view addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
    auto at = addr.find('@');
    return at != std::string_view::npos && at > 0 && at + 1 < addr.size() && addr.find('@', at + 1) == std::string_view::npos
        && addr.find(' ') == std::string_view::npos;
}

std::vector<std::string> splitAddressList(std::string_view line)
{
    auto gmime = useGMime();
    std::string safe = validUtf8(headerSafe(line));
    GObjectPtr<InternetAddressList> parsed(internet_address_list_parse(nullptr, safe.c_str()));
    return addressStrings(parsed.get());
}

std::optional<std::string> writeMime(const MailMessage& mail)
{
    auto gmime = useGMime();
    GObjectPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    if (!message)
        return std::nullopt;
    addAddresses(message.get(), GMIME_ADDRESS_TYPE_FROM, { mail.from });
    addAddresses(message.get(), GMIME_ADDRESS_TYPE_TO, mail.to);
    addAddresses(message.get(), GMIME_ADDRESS_TYPE_CC, mail.cc);
    addAddresses(message.get(), GMIME_ADDRESS_TYPE_BCC, mail.bcc);
    std::string subject = validUtf8(headerSafe(mail.subject));
    g_mime_message_set_subject(message.get(), subject.c_str(), "utf-8");
    writeSubjectHeader(message.get(), subject);
    writeAddressHeader(message.get(), GMIME_ADDRESS_TYPE_FROM, "From");
    writeAddressHeader(message.get(), GMIME_ADDRESS_TYPE_TO, "To");
    writeAddressHeader(message.get(), GMIME_ADDRESS_TYPE_CC, "Cc");
    writeAddressHeader(message.get(), GMIME_ADDRESS_TYPE_BCC, "Bcc");
    if (GDateTime* date = g_date_time_new_from_unix_utc(static_cast<gint64>(mail.date))) {
        g_mime_message_set_date(message.get(), date);
        g_date_time_unref(date);
    }
    std::string messageID = headerSafe(mail.messageID);
    std::erase_if(messageID, [](char c) { return c == ' ' || c == '<' || c == '>'; });
    if (!messageID.empty())
        g_mime_message_set_message_id(message.get(), messageID.c_str());

    auto text = textPart(mail);
    if (mail.attachments.empty()) {
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(text.get()));
    } else {
        GObjectPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), GMIME_OBJECT(text.get()));
        for (const auto& attachment : mail.attachments) {
            auto part = attachmentPart(attachment);
            g_mime_multipart_add(mixed.get(), GMIME_OBJECT(part.get()));
        }
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    }

    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    ssize_t written = g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options, out.get());
    g_mime_format_options_free(options);
    if (written < 0)
        return std::nullopt;
    GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    if (!array)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(array->data), array->len);
}

std::optional<MailMessage> readMime(std::span<const uint8_t> bytes)
{
    auto gmime = useGMime();
    if (bytes.empty())
        return std::nullopt;
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message)
        return std::nullopt;

    MailMessage result;
    auto from = addressStrings(g_mime_message_get_from(message.get()));
    if (!from.empty())
        result.from = from.front();
    result.to = addressStrings(g_mime_message_get_addresses(message.get(), GMIME_ADDRESS_TYPE_TO));
    result.cc = addressStrings(g_mime_message_get_addresses(message.get(), GMIME_ADDRESS_TYPE_CC));
    result.bcc = addressStrings(g_mime_message_get_addresses(message.get(), GMIME_ADDRESS_TYPE_BCC));
    // A decoded header may hold control characters (an encoded word can
    // spell any); a header we write never holds one, nor blanks at its ends,
    // so reading answers the subject as writing would keep it.
    if (const char* subject = g_mime_message_get_subject(message.get())) {
        result.subject = headerSafe(subject);
        auto first = result.subject.find_first_not_of(' ');
        result.subject = first == std::string::npos ? std::string() : result.subject.substr(first, result.subject.find_last_not_of(' ') - first + 1);
    }
    if (GDateTime* date = g_mime_message_get_date(message.get()))
        result.date = static_cast<double>(g_date_time_to_unix(date));
    if (const char* messageID = g_mime_message_get_message_id(message.get()))
        result.messageID = messageID;
    ReadState state { &result };
    g_mime_message_foreach(message.get(), collectPart, &state);
    return result;
}

std::optional<MailMessage> readMime(std::string_view bytes)
{
    return readMime(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace mail
