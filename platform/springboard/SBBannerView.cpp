#include "SBBannerView.h"

#include "SpringBoardContext.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>
#include <uikit/UIImage.h>

namespace springboard {

using namespace uikit;
using runtime::Id;

void SBBannerView::registerMethods(runtime::ClassBuilder<SBBannerView>& b)
{
    b.method<&SBBannerView::createSubviews>("_createSubviewsWithBannerImage:");
    b.method("bulletin", [](SBBannerView& self) -> Id { return self.bulletin(); });
}

runtime::Ref<SBBannerView> SBBannerView::withBulletin(const runtime::Ref<BBBulletin>& bulletin, double width)
{
    auto banner = makeView<SBBannerView>(CGRectMake(0, 0, width, Height));
    banner->setName("banner");
    banner->m_bulletin = bulletin;
    banner->setBackgroundColor(UIColor::colorWithWhite(0.1, 0.92));
    return banner;
}

void SBBannerView::createSubviews(const Id& image)
{
    double width = bounds().size.width;
    m_iconView = makeView<UIImageView>(IconFrame);
    m_iconView->setName("bannerIcon");
    m_iconView->setImage(runtime::cast<UIImage>(image));
    addSubview(m_iconView);

    m_titleLabel = makeView<UILabel>(CGRectMake(34, 3, width - 40, 18));
    m_titleLabel->setName("bannerTitle");
    m_titleLabel->setFont(UIFont::boldSystemFontOfSize(14));
    m_titleLabel->setTextColor(UIColor::whiteColor());
    m_titleLabel->setBackgroundColor(UIColor::clearColor());
    m_titleLabel->setText(m_bulletin ? m_bulletin->title() : std::string());
    addSubview(m_titleLabel);

    m_messageLabel = makeView<UILabel>(CGRectMake(34, 20, width - 40, 17));
    m_messageLabel->setName("bannerMessage");
    m_messageLabel->setFont(UIFont::systemFontOfSize(14));
    m_messageLabel->setTextColor(UIColor::whiteColor());
    m_messageLabel->setBackgroundColor(UIColor::clearColor());
    m_messageLabel->setText(m_bulletin ? m_bulletin->message() : std::string());
    addSubview(m_messageLabel);
}

runtime::Ref<SBBannerAndShadowView> SBBannerAndShadowView::withBanner(const runtime::Ref<SBBannerView>& banner)
{
    double width = banner->bounds().size.width;
    auto container = makeView<SBBannerAndShadowView>(CGRectMake(0, 0, width, SBBannerView::Height + ShadowHeight));
    container->setName("bannerAndShadow");
    container->m_bannerView = banner;
    // At the container's origin: taps located in the container are in the banner's coordinates too.
    container->addSubview(banner);
    auto shadow = makeView<UIView>(CGRectMake(0, SBBannerView::Height, width, ShadowHeight));
    shadow->setName("bannerShadow");
    shadow->setBackgroundColor(UIColor::colorWithWhite(0, 0.3));
    shadow->setUserInteractionEnabled(false);
    container->addSubview(shadow);
    return container;
}

runtime::Ref<UIImage> bannerImageForSection(const std::string& sectionID)
{
    if (sectionID == MessagesIdentifier)
        return UIImage::imageWithContentsOfFile("/Applications/MobileSMS.app/Icon-Small.png");
    if (sectionID == MailIdentifier)
        return UIImage::imageWithContentsOfFile("/Applications/MobileMail.app/Icon-Small.png");
    return nullptr;
}

} // namespace springboard
