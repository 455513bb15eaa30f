// A view that shows a picture. As on the phone it takes no touches unless
// told to, so a tap on an image goes to the view beneath it.
#pragma once

#include "UIImage.h"
#include "UIView.h"

namespace uikit {

class UIImageView : public UIView {
    PLV_CLASS(UIImageView, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UIImageView>&);

    UIImageView();
    // `initWithImage:`: the frame takes the picture's size.
    static runtime::Ref<UIImageView> withImage(runtime::Ref<UIImage>);

    runtime::Ref<UIImage> image() const { return m_image; }
    void setImage(runtime::Ref<UIImage> image) { m_image = std::move(image); }
    runtime::Ref<UIImage> highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(runtime::Ref<UIImage> image) { m_highlightedImage = std::move(image); }

    CGSize sizeThatFits(const CGSize&) const override;

private:
    runtime::Ref<UIImage> m_image;
    runtime::Ref<UIImage> m_highlightedImage;
};

} // namespace uikit
