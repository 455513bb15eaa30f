#include "UIImageView.h"

namespace uikit {

using runtime::Id;

void UIImageView::registerMethods(runtime::ClassBuilder<UIImageView>& b)
{
    b.method("initWithImage:", [](UIImageView& self, const Id& image) -> Id {
        auto picture = runtime::cast<UIImage>(image);
        self.setImage(picture);
        self.setFrame(CGRectMake(0, 0, picture ? picture->size().width : 0, picture ? picture->size().height : 0));
        return self.self();
    });
    b.method("image", [](UIImageView& self) -> Id { return self.image(); });
    b.method("setImage:", [](UIImageView& self, const Id& image) { self.setImage(runtime::cast<UIImage>(image)); });
    b.method("highlightedImage", [](UIImageView& self) -> Id { return self.highlightedImage(); });
    b.method("setHighlightedImage:", [](UIImageView& self, const Id& image) { self.setHighlightedImage(runtime::cast<UIImage>(image)); });
}

UIImageView::UIImageView() { setUserInteractionEnabled(false); }

runtime::Ref<UIImageView> UIImageView::withImage(runtime::Ref<UIImage> image)
{
    auto view = runtime::make<UIImageView>();
    CGSize size = image ? image->size() : CGSizeZero;
    view->setImage(std::move(image));
    view->setFrame(CGRectMake(0, 0, size.width, size.height));
    return view;
}

CGSize UIImageView::sizeThatFits(const CGSize&) const { return m_image ? m_image->size() : CGSizeZero; }

} // namespace uikit
