#include "MessageUITestSupport.h"

#include <chatkit/MessageParts.h>
#include <messageui/QLPreviewController.h>

using namespace messageui;
using namespace messageui_test;

namespace {

// A real picture: a 3 × 2 PNG.
std::vector<uint8_t> pngBytes()
{
    uikit::Bitmap bitmap;
    bitmap.width = 3;
    bitmap.height = 2;
    bitmap.rgba.assign(3 * 2 * 4, 0x80);
    return uikit::encodePng(bitmap).value();
}

// An item that names its picture by URL only.
class URLItem : public runtime::Object {
    PLV_CLASS(URLItem, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<URLItem>& b)
    {
        b.method("previewItemURL", [](URLItem& self) -> std::string { return self.url; });
    }
    std::string url;
};

Id itemWithURL(std::string url)
{
    auto item = runtime::make<URLItem>();
    item->url = std::move(url);
    return item;
}

class Preview : public ComposerHost {
protected:
    Id openPreview()
    {
        Id preview = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("QLPreviewController"), "alloc"), "init");
        runtime::send(preview, "setDataSource:", Id(probe));
        runtime::send(preview, "setDelegate:", Id(probe));
        runtime::send(host, "presentModalViewController:animated:", preview, true);
        settle();
        return preview;
    }
};

TEST_F(Preview, ShowsTheReceivedPictureAndReportsItsDismissal)
{
    // A picture that came with an iMessage: stored as a file, previewed by its URL.
    auto row = chatkit::receiveIMessage("friend@example.com", "look", pngBytes());
    ASSERT_TRUE(row);
    Id message = runtime::send<Id>(runtime::send<Id>(runtime::classNamed("CKDBMessage"), "alloc"), "initWithRecordID:", *row);
    Id media;
    for (const Id& part : runtime::send<std::vector<Id>>(message, "messageParts")) {
        if (runtime::respondsTo(part, "mediaObject"))
            media = runtime::send<Id>(part, "mediaObject");
    }
    ASSERT_TRUE(media);
    probe->previewItems = { media };

    Id preview = openPreview();
    EXPECT_EQ(probe->trace, "count|item:0|") << "the data source is asked once per showing";
    auto imageView = runtime::cast<uikit::UIImageView>(onScreen("previewImageView"));
    ASSERT_TRUE(imageView);
    ASSERT_TRUE(imageView->image());
    EXPECT_EQ(imageView->image()->size(), (uikit::CGSize { 3, 2 }));
    EXPECT_EQ(runtime::send<Id>(preview, "currentPreviewItem"), media);

    probe->trace.clear();
    ASSERT_TRUE(tap("previewDoneButton"));
    EXPECT_EQ(probe->trace, "willDismiss|");
    settle();
    EXPECT_EQ(probe->trace, "willDismiss|didDismiss|");
    EXPECT_FALSE(onScreen("previewImageView"));
    EXPECT_FALSE(host->modalViewController());
}

TEST_F(Preview, ItemsWithoutAPictureShowNothing)
{
    auto missing = chatkit::CKMediaObject::withData({}, "image/jpeg", "gone.jpg");
    probe->previewItems = { missing, nullptr };
    openPreview();
    auto imageView = runtime::cast<uikit::UIImageView>(onScreen("previewImageView"));
    ASSERT_TRUE(imageView);
    EXPECT_FALSE(imageView->image());
    EXPECT_FALSE(QLPreviewController::canPreviewItem(missing));
    EXPECT_FALSE(QLPreviewController::canPreviewItem(nullptr));
}

TEST_F(Preview, PicturesFromBytesOrFileURLs)
{
    auto inMemory = chatkit::CKMediaObject::withData(pngBytes(), "image/png", "a.png");
    EXPECT_TRUE(QLPreviewController::canPreviewItem(inMemory));
    auto bytes = pngBytes();
    device.write("/var/mobile/Media/My Pictures/b.png", std::string(bytes.begin(), bytes.end()));
    EXPECT_TRUE(QLPreviewController::canPreviewItem(itemWithURL("file:///var/mobile/Media/My%20Pictures/b.png")));
    EXPECT_TRUE(QLPreviewController::canPreviewItem(itemWithURL("file://localhost/var/mobile/Media/My%20Pictures/b.png")));
    EXPECT_TRUE(QLPreviewController::canPreviewItem(itemWithURL("/var/mobile/Media/My Pictures/b.png")));
    EXPECT_FALSE(QLPreviewController::canPreviewItem(itemWithURL("http://example.com/b.png")));
    EXPECT_FALSE(QLPreviewController::canPreviewItem(itemWithURL("file:///var/mobile/Media/My%2")));
    EXPECT_FALSE(QLPreviewController::canPreviewItem(itemWithURL("file:///../../etc/passwd")));
}

TEST_F(Preview, NoDataSourceMeansAnEmptyPreview)
{
    auto preview = runtime::make<QLPreviewController>();
    host->presentModalViewController(preview, false);
    EXPECT_EQ(preview->numberOfItems(), 0);
    EXPECT_FALSE(preview->currentPreviewItem());
    ASSERT_TRUE(tap("previewDoneButton"));
    settle();
    EXPECT_FALSE(host->modalViewController());
}

} // namespace
