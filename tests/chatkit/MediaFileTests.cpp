// A message part's file is named by a database row, so it may be anything:
// reading it must neither hang on a pipe nor swallow a file of any size.
#include <chatkit/ChatKit.h>
#include <chatkit/MessageParts.h>
#include <chatkit/MessageStore.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(MediaFile, WhatIsNotAnOrdinaryFileOfBoundedSizeGivesNoBytes)
{
    chatkit::registerChatKitClasses();
    std::string pattern = (std::filesystem::temp_directory_path() / "plv-media-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(pattern.data()));
    std::filesystem::path folder = pattern;
    auto pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    auto huge = folder / "huge.jpg";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, chatkit::CKMediaObject::MaximumAttachmentBytes + 1); // sparse: nothing is written
    auto picture = folder / "picture.jpg";
    std::ofstream(picture, std::ios::binary) << "\xff\xd8\xff picture";

    auto bytesOf = [](const std::filesystem::path& path) {
        chatkit::StoredPart part;
        part.kind = chatkit::StoredPart::Kind::Media;
        part.mimeType = "image/jpeg";
        part.hostPath = path;
        auto object = chatkit::CKMediaObject::withStoredPart(part);
        return object ? object->data().size() : size_t(0);
    };
    EXPECT_EQ(bytesOf(pipe), 0u) << "a pipe nobody writes to";
    EXPECT_EQ(bytesOf(huge), 0u);
    EXPECT_EQ(bytesOf(folder), 0u);
    EXPECT_EQ(bytesOf(folder / "missing.jpg"), 0u);
    EXPECT_EQ(bytesOf(picture), 11u);
    std::filesystem::remove_all(folder);
}

} // namespace
