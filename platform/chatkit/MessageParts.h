// The pieces a message is made of: its text, and media objects (a picture
// or another file) wrapped in media parts. Callers tell the two apart by
// class (`CKMediaObjectMessagePart`), and reach a media part's bytes and
// file through its `mediaObject`.
#pragma once

#include "MessageStore.h"

#include <runtime/Runtime.h>

#include <filesystem>
#include <string>
#include <vector>

namespace chatkit {

class CKMessagePart : public runtime::Object {
    PLV_CLASS(CKMessagePart, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMessagePart>&) { }
};

// Runtime: `initWithText:` (string) → self; `text` → string.
class CKTextMessagePart : public CKMessagePart {
    PLV_CLASS(CKTextMessagePart, CKMessagePart)
public:
    static void registerMethods(runtime::ClassBuilder<CKTextMessagePart>&);
    static runtime::Ref<CKTextMessagePart> withText(std::string);

    runtime::Id initWithText(const std::string&);
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// A file's worth of media. Runtime: `data` → bytes (read from its file when
// it has one; empty when the file has gone), `mimeType`, `exportedFilename`,
// `filename` (device path of its file, empty while it is only in memory),
// `fileURL` and `previewItemURL` ("file://" + device path), `previewItemTitle`,
// `transferGUID`.
class CKMediaObject : public runtime::Object {
    PLV_CLASS(CKMediaObject, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMediaObject>&);
    static runtime::Ref<CKMediaObject> withData(std::vector<uint8_t>, std::string mimeType, std::string exportedFilename);
    static runtime::Ref<CKMediaObject> withStoredPart(const StoredPart&);

    // The bytes, in memory or read from the part's file; a file that cannot
    // be read whole (missing, not a regular file, above the limit) gives none.
    static constexpr uint64_t MaximumAttachmentBytes = 64ull * 1024 * 1024;
    std::vector<uint8_t> data() const;
    const std::string& mimeType() const { return m_mimeType; }
    const std::string& exportedFilename() const { return m_exportedFilename; }
    const std::string& filename() const { return m_devicePath; }
    std::string fileURL() const;
    const std::string& transferGUID() const { return m_transferGUID; }
    const std::filesystem::path& hostPath() const { return m_hostPath; }

private:
    std::vector<uint8_t> m_data;
    std::string m_mimeType;
    std::string m_exportedFilename;
    std::string m_devicePath;
    std::filesystem::path m_hostPath;
    std::string m_transferGUID;
};

// Runtime: `initWithMediaObject:` (media object) → self, or nil when the
// argument is not a media object; `mediaObject` → the media object.
class CKMediaObjectMessagePart : public CKMessagePart {
    PLV_CLASS(CKMediaObjectMessagePart, CKMessagePart)
public:
    static void registerMethods(runtime::ClassBuilder<CKMediaObjectMessagePart>&);

    runtime::Id initWithMediaObject(const runtime::Id&);
    runtime::Ref<CKMediaObject> mediaObject() const { return m_mediaObject; }

private:
    runtime::Ref<CKMediaObject> m_mediaObject;
};

// Message part objects for stored parts; a part whose class is absent is left out.
std::vector<runtime::Id> makeParts(const std::vector<StoredPart>&);
// The texts of the text parts, joined.
std::string textOfParts(const std::vector<runtime::Id>&);

} // namespace chatkit
