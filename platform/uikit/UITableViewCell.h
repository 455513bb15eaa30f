// A row of a table: a content view with a title label, a detail label (in
// the value and subtitle styles) and an image view, an accessory (a
// disclosure indicator, a checkmark, or any view), a selection style and
// state, and, while the table edits, a delete control. A cell that a table
// hands out again for reuse keeps its content: the data source sets or
// clears what it needs (`prepareForReuse` only drops selection and editing
// state, as on the phone).
#pragma once

#include "UIControl.h"
#include "UIImageView.h"
#include "UILabel.h"

namespace uikit {

class UITableView;

class UITableViewCell : public UIView {
    PLV_CLASS(UITableViewCell, UIView)
public:
    static void registerMethods(runtime::ClassBuilder<UITableViewCell>&);

    static constexpr double EditControlWidth = 32;

    UITableViewCell();
    // `initWithStyle:reuseIdentifier:`.
    runtime::Id initWithStyle(int64_t style, const std::string& reuseIdentifier);
    static runtime::Ref<UITableViewCell> withStyle(int64_t style, std::string reuseIdentifier);

    int64_t style() const { return m_style; }
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }

    runtime::Ref<UIView> contentView();
    runtime::Ref<UILabel> textLabel();
    // nil in the default style, which has no detail line.
    runtime::Ref<UILabel> detailTextLabel();
    runtime::Ref<UIImageView> imageView();

    int64_t accessoryType() const { return m_accessoryType; }
    void setAccessoryType(int64_t);
    runtime::Ref<UIView> accessoryView() const { return m_accessoryView; }
    void setAccessoryView(runtime::Ref<UIView>);
    int64_t selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(int64_t style) { m_selectionStyle = style; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated = false);
    int64_t editingStyle() const { return m_editingStyle; }
    void setEditingStyle(int64_t style);
    bool showingDeleteConfirmation() const { return m_showingDeleteConfirmation; }
    void setShowingDeleteConfirmation(bool);

    virtual void prepareForReuse();
    void layoutSubviews() override;
    bool handleTap(const CGPoint&) override;

    void setTableView(const runtime::Ref<UITableView>& table) { m_tableView = table; }
    runtime::Ref<UITableView> tableView() const { return m_tableView.lock(); }

private:
    void updateEditingControls();

    int64_t m_style { UITableViewCellStyleDefault };
    std::string m_reuseIdentifier;
    runtime::Ref<UIView> m_contentView;
    runtime::Ref<UILabel> m_textLabel;
    runtime::Ref<UILabel> m_detailTextLabel;
    runtime::Ref<UIImageView> m_imageView;
    int64_t m_accessoryType { UITableViewCellAccessoryNone };
    runtime::Ref<UIView> m_accessoryView;
    runtime::Ref<UIView> m_accessoryIndicator;
    int64_t m_selectionStyle { UITableViewCellSelectionStyleBlue };
    bool m_selected { false };
    bool m_highlighted { false };
    bool m_editing { false };
    int64_t m_editingStyle { UITableViewCellEditingStyleNone };
    bool m_showingDeleteConfirmation { false };
    runtime::Ref<UIControl> m_editControl;
    runtime::Ref<UIControl> m_deleteConfirmation;
    runtime::Weak<UITableView> m_tableView;
};

// The cell's private parts, named as the platform names them.
class UITableViewCellContentView : public UIView {
    PLV_CLASS(UITableViewCellContentView, UIView)
};

class UITableViewCellEditControl : public UIControl {
    PLV_CLASS(UITableViewCellEditControl, UIControl)
};

class UITableViewCellDeleteConfirmationControl : public UIControl {
    PLV_CLASS(UITableViewCellDeleteConfirmationControl, UIControl)
};

// The disclosure indicator or checkmark drawn for an accessory type.
class UITableViewCellAccessoryIndicator : public UIView {
    PLV_CLASS(UITableViewCellAccessoryIndicator, UIView)
public:
    int64_t accessoryType() const { return m_accessoryType; }
    void setAccessoryType(int64_t type) { m_accessoryType = type; }

private:
    int64_t m_accessoryType { 0 };
};

} // namespace uikit
