#include "UIKitTestSupport.h"

namespace uikit_test {

class Images : public UIKitTest { };

TEST_F(Images, LoadsPicturesFromDeviceFilesAndNilOtherwise)
{
    writeDeviceFile("/Library/Application Support/PLV/close.png", *encodePng(solidBitmap(20, 20, 255, 0, 0)));
    writeDeviceFile("/Library/Application Support/PLV/notes.png", { 'h', 'e', 'l', 'l', 'o' });
    auto image = runtime::send<Id>(runtime::classNamed("UIImage"), "imageWithContentsOfFile:", std::string("/Library/Application Support/PLV/close.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(runtime::send<CGSize>(image, "size"), CGSizeMake(20, 20));
    EXPECT_EQ(runtime::cast<UIImage>(image)->path(), "/Library/Application Support/PLV/close.png");
    EXPECT_EQ(UIImage::imageWithContentsOfFile("/Library/Application Support/PLV/missing.png"), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile("/Library/Application Support/PLV/notes.png"), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile("relative/close.png"), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile("/../../etc/passwd"), nullptr);
    auto alloc = runtime::send<Id>(runtime::classNamed("UIImage"), "alloc");
    EXPECT_EQ(runtime::send<Id>(alloc, "initWithContentsOfFile:", std::string("/nowhere.png")), nullptr);
}

TEST_F(Images, AMissingImageLeavesTheButtonAsItWas)
{
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    runtime::send(button, "setImage:forState:", Id(UIImage::imageWithContentsOfFile("/Library/Application Support/PLV/close.png")), int64_t(UIControlStateNormal));
    EXPECT_EQ(button->currentImage(), nullptr);
    auto json = snapshotView(*button);
    EXPECT_TRUE(json["image"].is_null());
}

TEST_F(Images, JPEGRepresentationDecodesToTheSamePicture)
{
    writeDeviceFile("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", *encodePng(solidBitmap(64, 48, 0, 128, 255)));
    auto image = UIImage::imageWithContentsOfFile("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG");
    ASSERT_TRUE(image);
    auto jpeg = UIImageJPEGRepresentation(image, 0.9);
    ASSERT_FALSE(jpeg.empty());
    EXPECT_EQ(sniffImageFormat(jpeg), ImageFormat::Jpeg);
    auto decoded = decodeImage(jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 64u);
    EXPECT_EQ(decoded->height, 48u);
    EXPECT_NEAR(decoded->rgba[4 * 100 + 2], 255, 8);
    EXPECT_NEAR(decoded->rgba[4 * 100 + 1], 128, 8);
    auto low = UIImageJPEGRepresentation(image, 0.0);
    EXPECT_FALSE(low.empty());
    EXPECT_TRUE(UIImageJPEGRepresentation(nullptr, 0.5).empty());
    auto fromData = UIImage::imageWithData(jpeg);
    ASSERT_TRUE(fromData);
    EXPECT_FALSE(fromData->path());
}

TEST_F(Images, ACorruptPictureDecodesToNothing)
{
    Bitmap noise { 64, 64, {} };
    uint32_t seed = 7;
    for (int i = 0; i < 64 * 64 * 4; ++i) {
        seed = seed * 1103515245 + 12345;
        noise.rgba.push_back(static_cast<uint8_t>(seed >> 16));
    }
    auto png = *encodePng(noise);
    png.resize(png.size() / 2);
    EXPECT_TRUE(readImageHeader(png)) << "the header is intact";
    EXPECT_FALSE(decodeImage(png));
    auto image = UIImage::imageWithData(png);
    ASSERT_TRUE(image);
    EXPECT_TRUE(UIImageJPEGRepresentation(image, 1).empty());
    std::vector<uint8_t> jpegHeaderOnly { 0xff, 0xd8, 0xff, 0xe0, 0, 0x10 };
    EXPECT_FALSE(readImageHeader(jpegHeaderOnly));
}

// A delegate that records what the picker tells it and closes it, as the reply window does.
class PickerDelegate : public runtime::Object {
    PLV_CLASS(PickerDelegate, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<PickerDelegate>& b)
    {
        b.method("imagePickerController:didFinishPickingImage:editingInfo:", [](PickerDelegate& self, const Id& picker, const Id& image, const foundation::PlistValue&) {
            self.picked = runtime::cast<UIImage>(image);
            runtime::send(picker, "dismissModalViewControllerAnimated:", true);
        });
        b.method("imagePickerControllerDidCancel:", [](PickerDelegate& self, const Id& picker) {
            self.cancelled = true;
            runtime::send(picker, "dismissModalViewControllerAnimated:", true);
        });
    }
    Ref<UIImage> picked;
    bool cancelled { false };
};

class Picker : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        writeDeviceFile("/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG", *encodeJpeg(solidBitmap(40, 30, 10, 20, 30), 0.8));
        writeDeviceFile("/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", *encodePng(solidBitmap(30, 40, 10, 20, 30)));
        writeDeviceFile("/var/mobile/Media/DCIM/100APPLE/notes.txt", { 'x' });
        window = screenWindow();
        presenter = runtime::make<RecordingController>();
        window->addSubview(presenter->view());
        delegate = runtime::make<PickerDelegate>();
        picker = runtime::cast<UIImagePickerController>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UIImagePickerController"), "alloc"), "init"));
        runtime::send(picker, "setSourceType:", int64_t(UIImagePickerControllerSourceTypePhotoLibrary));
        runtime::send(picker, "setDelegate:", Id(delegate));
        presenter->presentModalViewController(picker, true);
    }

    Ref<UIWindow> window;
    Ref<RecordingController> presenter;
    Ref<PickerDelegate> delegate;
    Ref<UIImagePickerController> picker;
};

TEST_F(Picker, ListsThePhotoLibraryFolder)
{
    EXPECT_EQ(picker->photoPaths(), (std::vector<std::string> { "/var/mobile/Media/DCIM/100APPLE/IMG_0001.PNG", "/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG" }));
    auto table = runtime::cast<UITableView>(picker->topViewController()->view());
    ASSERT_TRUE(table);
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 1))->textLabel()->text(), "IMG_0002.JPG");
    EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceTypeCamera));
}

TEST_F(Picker, ChoosingAPhotoTellsTheDelegateOnTheRunLoop)
{
    auto table = runtime::cast<UITableView>(picker->topViewController()->view());
    CGRect row = table->convertRectToView(table->rectForRow(NSIndexPathMake(0, 1)), nullptr);
    tapScreen({ row.midX(), row.midY() });
    EXPECT_EQ(delegate->picked, nullptr) << "the choice arrives on the next turn";
    loop().runPending();
    ASSERT_TRUE(delegate->picked);
    EXPECT_EQ(delegate->picked->path(), "/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG");
    EXPECT_EQ(presenter->modalViewController(), nullptr);
}

TEST_F(Picker, CancelTellsTheDelegate)
{
    auto bar = picker->navigationBar();
    auto cancel = runtime::cast<UINavigationButton>(bar->subviews().front());
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->currentTitle(), "Cancel");
    tapScreen({ cancel->screenFrame().midX(), cancel->screenFrame().midY() });
    loop().runPending();
    EXPECT_TRUE(delegate->cancelled);
    EXPECT_EQ(presenter->modalViewController(), nullptr);
}

TEST_F(Picker, AnEmptyOrMissingLibraryOffersNothing)
{
    std::filesystem::remove_all(foundation::hostPath("/var/mobile/Media"));
    EXPECT_TRUE(picker->photoPaths().empty());
    EXPECT_FALSE(picker->pickPhotoAtIndex(0));
    EXPECT_FALSE(picker->pickPhotoNamed("IMG_0001.PNG"));
    loop().runPending();
    EXPECT_EQ(delegate->picked, nullptr);
}

} // namespace uikit_test
