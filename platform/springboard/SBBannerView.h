// The banner a bulletin becomes at the top of the screen: the posting
// application's icon, the title in bold and the message beneath. Its
// subviews are made by `_createSubviewsWithBannerImage:`, sent through the
// runtime when the banner is built, so an extension can add its own.
// SBBannerAndShadowView holds the banner (at its origin) and the shadow
// beneath it; the banner controller keeps it in `_bannerAndShadowView`.
#pragma once

#include "BBBulletin.h"

#include <uikit/UIImageView.h>
#include <uikit/UILabel.h>
#include <uikit/UIView.h>

namespace springboard {

class SBBannerView : public uikit::UIView {
    PLV_CLASS(SBBannerView, uikit::UIView)
public:
    static void registerMethods(runtime::ClassBuilder<SBBannerView>&);

    static constexpr double Height = 40;
    static constexpr uikit::CGRect IconFrame { { 5, 11 }, { 21, 21 } };

    // Made for a bulletin; the subviews come with `_createSubviewsWithBannerImage:`.
    static runtime::Ref<SBBannerView> withBulletin(const runtime::Ref<BBBulletin>&, double width);

    runtime::Ref<BBBulletin> bulletin() const { return m_bulletin; }
    void createSubviews(const runtime::Id& image);

    runtime::Ref<uikit::UILabel> titleLabel() const { return m_titleLabel; }
    runtime::Ref<uikit::UILabel> messageLabel() const { return m_messageLabel; }

private:
    runtime::Ref<BBBulletin> m_bulletin;
    runtime::Ref<uikit::UIImageView> m_iconView;
    runtime::Ref<uikit::UILabel> m_titleLabel;
    runtime::Ref<uikit::UILabel> m_messageLabel;
};

class SBBannerAndShadowView : public uikit::UIView {
    PLV_CLASS(SBBannerAndShadowView, uikit::UIView)
public:
    static constexpr double ShadowHeight = 3;

    static runtime::Ref<SBBannerAndShadowView> withBanner(const runtime::Ref<SBBannerView>&);
    runtime::Ref<SBBannerView> bannerView() const { return m_bannerView; }

private:
    runtime::Ref<SBBannerView> m_bannerView;
};

// The icon the banner shows for a section ("/Applications/MobileSMS.app/
// Icon-Small.png"); nil when the application ships none.
runtime::Ref<uikit::UIImage> bannerImageForSection(const std::string& sectionID);

} // namespace springboard
