#include "UITableViewCell.h"

#include "UITableView.h"

#include <algorithm>

namespace uikit {

using runtime::Id;
using runtime::Ref;

namespace {

    constexpr double Margin = 10;
    constexpr CGSize DeleteConfirmationSize { 64, 30 };

} // namespace

void UITableViewCell::registerMethods(runtime::ClassBuilder<UITableViewCell>& b)
{
    b.method("initWithStyle:reuseIdentifier:", [](UITableViewCell& self, int64_t style, const std::string& identifier) -> Id {
        runtime::send<Id>(&self, "initWithFrame:", CGRectMake(0, 0, 320, 44));
        return self.initWithStyle(style, identifier);
    });
    b.method<&UITableViewCell::style>("style");
    b.method<&UITableViewCell::reuseIdentifier>("reuseIdentifier");
    b.method("contentView", [](UITableViewCell& self) -> Id { return self.contentView(); });
    b.method("textLabel", [](UITableViewCell& self) -> Id { return self.textLabel(); });
    b.method("detailTextLabel", [](UITableViewCell& self) -> Id { return self.detailTextLabel(); });
    b.method("imageView", [](UITableViewCell& self) -> Id { return self.imageView(); });
    b.method<&UITableViewCell::accessoryType>("accessoryType");
    b.method<&UITableViewCell::setAccessoryType>("setAccessoryType:");
    b.method("accessoryView", [](UITableViewCell& self) -> Id { return self.accessoryView(); });
    b.method("setAccessoryView:", [](UITableViewCell& self, const Id& view) { self.setAccessoryView(runtime::cast<UIView>(view)); });
    b.method<&UITableViewCell::selectionStyle>("selectionStyle");
    b.method<&UITableViewCell::setSelectionStyle>("setSelectionStyle:");
    b.method<&UITableViewCell::isSelected>("isSelected");
    b.method("setSelected:", [](UITableViewCell& self, bool selected) { self.setSelected(selected); });
    b.method("setSelected:animated:", [](UITableViewCell& self, bool selected, bool animated) { self.setSelected(selected, animated); });
    b.method<&UITableViewCell::isHighlighted>("isHighlighted");
    b.method<&UITableViewCell::setHighlighted>("setHighlighted:");
    b.method<&UITableViewCell::isEditing>("isEditing");
    b.method("setEditing:animated:", [](UITableViewCell& self, bool editing, bool animated) { self.setEditing(editing, animated); });
    b.method<&UITableViewCell::editingStyle>("editingStyle");
    b.method<&UITableViewCell::showingDeleteConfirmation>("showingDeleteConfirmation");
    b.method<&UITableViewCell::prepareForReuse>("prepareForReuse");
}

UITableViewCell::UITableViewCell() { setBackgroundColor(UIColor::whiteColor()); }

Id UITableViewCell::initWithStyle(int64_t style, const std::string& reuseIdentifier)
{
    m_style = style;
    m_reuseIdentifier = reuseIdentifier;
    if (frame().size == CGSizeZero)
        setFrame(CGRectMake(0, 0, 320, 44));
    return self();
}

Ref<UITableViewCell> UITableViewCell::withStyle(int64_t style, std::string reuseIdentifier)
{
    auto cell = runtime::make<UITableViewCell>();
    cell->setFrame(CGRectMake(0, 0, 320, 44));
    cell->initWithStyle(style, reuseIdentifier);
    return cell;
}

Ref<UIView> UITableViewCell::contentView()
{
    if (!m_contentView) {
        m_contentView = runtime::make<UITableViewCellContentView>();
        m_contentView->setFrame(bounds());
        insertSubviewAtIndex(m_contentView, 0);
        setNeedsLayout();
    }
    return m_contentView;
}

Ref<UILabel> UITableViewCell::textLabel()
{
    if (!m_textLabel) {
        m_textLabel = runtime::make<UILabel>();
        switch (m_style) {
        case UITableViewCellStyleSubtitle:
            m_textLabel->setFont(UIFont::boldSystemFontOfSize(18));
            break;
        case UITableViewCellStyleValue1:
            m_textLabel->setFont(UIFont::boldSystemFontOfSize(17));
            break;
        case UITableViewCellStyleValue2:
            m_textLabel->setFont(UIFont::boldSystemFontOfSize(12));
            m_textLabel->setTextColor(UIColor::colorWithRed(0.32, 0.4, 0.57, 1));
            m_textLabel->setTextAlignment(UITextAlignmentRight);
            break;
        default:
            m_textLabel->setFont(UIFont::boldSystemFontOfSize(20));
            break;
        }
        contentView()->addSubview(m_textLabel);
    }
    // Whoever asks for the label is about to change it; lay the cell out again.
    setNeedsLayout();
    return m_textLabel;
}

Ref<UILabel> UITableViewCell::detailTextLabel()
{
    if (m_style == UITableViewCellStyleDefault)
        return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = runtime::make<UILabel>();
        switch (m_style) {
        case UITableViewCellStyleSubtitle:
            m_detailTextLabel->setFont(UIFont::systemFontOfSize(14));
            m_detailTextLabel->setTextColor(UIColor::grayColor());
            break;
        case UITableViewCellStyleValue1:
            m_detailTextLabel->setFont(UIFont::systemFontOfSize(17));
            m_detailTextLabel->setTextColor(UIColor::colorWithRed(0.22, 0.33, 0.53, 1));
            m_detailTextLabel->setTextAlignment(UITextAlignmentRight);
            break;
        default:
            m_detailTextLabel->setFont(UIFont::boldSystemFontOfSize(15));
            break;
        }
        contentView()->addSubview(m_detailTextLabel);
    }
    setNeedsLayout();
    return m_detailTextLabel;
}

Ref<UIImageView> UITableViewCell::imageView()
{
    if (!m_imageView) {
        m_imageView = runtime::make<UIImageView>();
        contentView()->insertSubviewAtIndex(m_imageView, 0);
    }
    setNeedsLayout();
    return m_imageView;
}

void UITableViewCell::setAccessoryType(int64_t type)
{
    m_accessoryType = type;
    if (type == UITableViewCellAccessoryNone) {
        if (m_accessoryIndicator)
            m_accessoryIndicator->removeFromSuperview();
        m_accessoryIndicator = nullptr;
    } else {
        if (!m_accessoryIndicator) {
            m_accessoryIndicator = runtime::make<UITableViewCellAccessoryIndicator>();
            addSubview(m_accessoryIndicator);
        }
        runtime::cast<UITableViewCellAccessoryIndicator>(m_accessoryIndicator)->setAccessoryType(type);
    }
    setNeedsLayout();
}

void UITableViewCell::setAccessoryView(Ref<UIView> view)
{
    if (view == m_accessoryView)
        return;
    if (m_accessoryView && m_accessoryView->superview().get() == this)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(view);
    if (m_accessoryView)
        addSubview(m_accessoryView);
    setNeedsLayout();
}

void UITableViewCell::setSelected(bool selected, bool) { m_selected = selected; }

void UITableViewCell::setEditing(bool editing, bool)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    if (!editing)
        m_showingDeleteConfirmation = false;
    updateEditingControls();
}

void UITableViewCell::setEditingStyle(int64_t style)
{
    m_editingStyle = style;
    updateEditingControls();
}

void UITableViewCell::setShowingDeleteConfirmation(bool showing)
{
    m_showingDeleteConfirmation = showing && m_editing && m_editingStyle == UITableViewCellEditingStyleDelete;
    updateEditingControls();
}

void UITableViewCell::updateEditingControls()
{
    std::weak_ptr<UITableViewCell> weakCell = selfAs<UITableViewCell>();
    bool showControl = m_editing && m_editingStyle != UITableViewCellEditingStyleNone;
    if (showControl && !m_editControl) {
        m_editControl = runtime::make<UITableViewCellEditControl>();
        m_editControl->setPrimaryAction([weakCell] {
            auto cell = weakCell.lock();
            if (auto table = cell ? cell->tableView() : nullptr)
                table->editControlTapped(*cell);
        });
        addSubview(m_editControl);
    } else if (!showControl && m_editControl) {
        m_editControl->removeFromSuperview();
        m_editControl = nullptr;
    }
    if (m_showingDeleteConfirmation && !m_deleteConfirmation) {
        m_deleteConfirmation = runtime::make<UITableViewCellDeleteConfirmationControl>();
        m_deleteConfirmation->setBackgroundColor(UIColor::colorWithRed(0.8, 0.1, 0.1, 1));
        m_deleteConfirmation->layer()->setCornerRadius(5);
        m_deleteConfirmation->setPrimaryAction([weakCell] {
            auto cell = weakCell.lock();
            if (auto table = cell ? cell->tableView() : nullptr)
                table->deleteConfirmed(*cell);
        });
        addSubview(m_deleteConfirmation);
    } else if (!m_showingDeleteConfirmation && m_deleteConfirmation) {
        m_deleteConfirmation->removeFromSuperview();
        m_deleteConfirmation = nullptr;
    }
    setNeedsLayout();
}

void UITableViewCell::prepareForReuse()
{
    m_selected = false;
    m_highlighted = false;
    m_showingDeleteConfirmation = false;
    updateEditingControls();
}

void UITableViewCell::layoutSubviews()
{
    CGRect b = bounds();
    double width = b.size.width, height = b.size.height;
    double left = m_editControl ? EditControlWidth : 0;
    double right = width;
    if (m_editControl)
        m_editControl->setFrame(CGRectMake(0, 0, EditControlWidth, height));
    if (m_deleteConfirmation) {
        m_deleteConfirmation->setFrame(CGRectMake(width - Margin - DeleteConfirmationSize.width, (height - DeleteConfirmationSize.height) / 2, DeleteConfirmationSize.width, DeleteConfirmationSize.height));
        right = m_deleteConfirmation->frame().minX() - Margin / 2;
    }
    // While editing, the accessory steps aside for the edit controls, as on the phone.
    bool showAccessory = !m_editing;
    if (m_accessoryView) {
        m_accessoryView->setHidden(!showAccessory);
        if (showAccessory) {
            CGSize size = m_accessoryView->frame().size;
            m_accessoryView->setFrame(CGRectMake(width - Margin - size.width, (height - size.height) / 2, size.width, size.height));
            right = std::min(right, m_accessoryView->frame().minX() - Margin);
        }
    } else if (m_accessoryIndicator) {
        m_accessoryIndicator->setHidden(!showAccessory);
        if (showAccessory) {
            CGSize size = m_accessoryType == UITableViewCellAccessoryDetailDisclosureButton ? CGSize { 29, 31 } : CGSize { 14, 14 };
            m_accessoryIndicator->setFrame(CGRectMake(width - Margin - size.width, (height - size.height) / 2, size.width, size.height));
            right = std::min(right, m_accessoryIndicator->frame().minX() - Margin);
        }
    }
    auto content = contentView();
    content->setFrame(CGRectMake(left, 0, std::max(0.0, right - left), height));
    double contentWidth = content->bounds().size.width;

    double textX = Margin;
    if (m_imageView && m_imageView->image()) {
        CGSize size = m_imageView->image()->size();
        // A picture taller than the row is shown scaled down to fit it.
        if (size.height > height && size.height > 0) {
            size = { size.width * height / size.height, height };
        }
        m_imageView->setFrame(CGRectMake(0, (height - size.height) / 2, size.width, size.height));
        textX = size.width + Margin;
    } else if (m_imageView) {
        m_imageView->setFrame(CGRectZero);
    }
    double textWidth = std::max(0.0, contentWidth - textX - Margin);
    switch (m_style) {
    case UITableViewCellStyleSubtitle: {
        double top = std::max(0.0, (height - 40) / 2);
        if (m_textLabel)
            m_textLabel->setFrame(CGRectMake(textX, top, textWidth, 22));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(CGRectMake(textX, top + 22, textWidth, 18));
        break;
    }
    case UITableViewCellStyleValue1:
        if (m_textLabel)
            m_textLabel->setFrame(CGRectMake(textX, 0, textWidth / 2, height));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(CGRectMake(textX + textWidth / 2, 0, textWidth / 2, height));
        break;
    case UITableViewCellStyleValue2:
        if (m_textLabel)
            m_textLabel->setFrame(CGRectMake(Margin, 0, 67, height));
        if (m_detailTextLabel)
            m_detailTextLabel->setFrame(CGRectMake(83, 0, std::max(0.0, contentWidth - 83 - Margin), height));
        break;
    default:
        if (m_textLabel)
            m_textLabel->setFrame(CGRectMake(textX, 0, textWidth, height));
        break;
    }
}

bool UITableViewCell::handleTap(const CGPoint&)
{
    auto table = tableView();
    if (!table)
        return false;
    table->cellTapped(*this);
    return true;
}

} // namespace uikit
