#include "MessageParts.h"

#include "Instantiate.h"

#include <foundation/AtomicFile.h>

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

void CKTextMessagePart::registerMethods(ClassBuilder<CKTextMessagePart>& b)
{
    b.method<&CKTextMessagePart::initWithText>("initWithText:");
    b.method("text", [](CKTextMessagePart& self) -> std::string { return self.text(); });
}

Ref<CKTextMessagePart> CKTextMessagePart::withText(std::string text)
{
    auto part = instantiate<CKTextMessagePart>();
    if (part)
        part->m_text = std::move(text);
    return part;
}

Id CKTextMessagePart::initWithText(const std::string& text)
{
    m_text = text;
    return self();
}

void CKMediaObject::registerMethods(ClassBuilder<CKMediaObject>& b)
{
    b.method<&CKMediaObject::data>("data");
    b.method("mimeType", [](CKMediaObject& self) -> std::string { return self.mimeType(); });
    b.method("exportedFilename", [](CKMediaObject& self) -> std::string { return self.exportedFilename(); });
    b.method("filename", [](CKMediaObject& self) -> std::string { return self.filename(); });
    b.method<&CKMediaObject::fileURL>("fileURL");
    b.method<&CKMediaObject::fileURL>("previewItemURL");
    b.method("previewItemTitle", [](CKMediaObject& self) -> std::string { return self.exportedFilename(); });
    b.method("transferGUID", [](CKMediaObject& self) -> std::string { return self.transferGUID(); });
}

Ref<CKMediaObject> CKMediaObject::withData(std::vector<uint8_t> data, std::string mimeType, std::string exportedFilename)
{
    auto object = instantiate<CKMediaObject>();
    if (!object)
        return nullptr;
    object->m_data = std::move(data);
    object->m_mimeType = std::move(mimeType);
    object->m_exportedFilename = std::move(exportedFilename);
    return object;
}

Ref<CKMediaObject> CKMediaObject::withStoredPart(const StoredPart& part)
{
    auto object = instantiate<CKMediaObject>();
    if (!object)
        return nullptr;
    object->m_data = part.inlineData;
    object->m_mimeType = part.mimeType;
    object->m_exportedFilename = part.filename;
    object->m_devicePath = part.devicePath;
    object->m_hostPath = part.hostPath;
    object->m_transferGUID = part.transferGUID;
    return object;
}

std::vector<uint8_t> CKMediaObject::data() const
{
    if (m_hostPath.empty())
        return m_data;
    // The path comes from a database row: whatever lies there (a pipe, a
    // folder, a file of any size) must not hang or exhaust the phone.
    auto file = foundation::readWholeFile(m_hostPath, MaximumAttachmentBytes);
    if (!file)
        return {};
    return file.releaseValue();
}

std::string CKMediaObject::fileURL() const
{
    return m_devicePath.empty() ? std::string() : "file://" + m_devicePath;
}

void CKMediaObjectMessagePart::registerMethods(ClassBuilder<CKMediaObjectMessagePart>& b)
{
    b.method<&CKMediaObjectMessagePart::initWithMediaObject>("initWithMediaObject:");
    b.method("mediaObject", [](CKMediaObjectMessagePart& self) -> Id { return self.mediaObject(); });
}

Id CKMediaObjectMessagePart::initWithMediaObject(const Id& mediaObject)
{
    m_mediaObject = runtime::cast<CKMediaObject>(mediaObject);
    return m_mediaObject ? self() : nullptr;
}

std::vector<Id> makeParts(const std::vector<StoredPart>& stored)
{
    std::vector<Id> parts;
    for (const auto& part : stored) {
        if (part.kind == StoredPart::Kind::Text) {
            if (auto text = CKTextMessagePart::withText(part.text))
                parts.push_back(text);
            continue;
        }
        auto media = CKMediaObject::withStoredPart(part);
        auto wrapper = instantiate<CKMediaObjectMessagePart>();
        if (media && wrapper && wrapper->initWithMediaObject(media))
            parts.push_back(wrapper);
    }
    return parts;
}

std::string textOfParts(const std::vector<Id>& parts)
{
    std::string text;
    for (const auto& part : parts) {
        if (auto textPart = runtime::cast<CKTextMessagePart>(part))
            text += textPart->text();
    }
    return text;
}

} // namespace chatkit
