// A table of rows in sections, plain or grouped, fed by a data source and
// told about selections through its delegate (both held weakly and called
// through the runtime with the platform's selectors). Only the rows in view
// have cells; cells that scroll out or are reloaded go to a reuse queue by
// identifier, and `dequeueReusableCellWithIdentifier:` hands them out again.
// A data source that answers nil for a row it counted (more rows than it
// has cells for) leaves that row empty and is reported; nothing else
// changes. Reloading happens at once, so the model can be looked at right
// after `reloadData`.
#pragma once

#include "UIScrollView.h"
#include "UITableViewCell.h"

#include <map>
#include <optional>
#include <unordered_map>

namespace uikit {

class UITableView : public UIScrollView {
    PLV_CLASS(UITableView, UIScrollView)
public:
    static void registerMethods(runtime::ClassBuilder<UITableView>&);

    static runtime::Ref<UITableView> withFrame(const CGRect&, int64_t style);
    // `initWithFrame:style:`.
    runtime::Id initWithFrameAndStyle(const CGRect&, int64_t style);

    int64_t style() const { return m_style; }
    runtime::Id dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const runtime::Id&);
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double);
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows) { m_allowsSelectionDuringEditing = allows; }
    int64_t separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(int64_t style) { m_separatorStyle = style; }

    void reloadData();
    runtime::Ref<UITableViewCell> dequeueReusableCell(const std::string& identifier);

    int64_t numberOfSections() const
    {
        loadIfNeeded();
        return static_cast<int64_t>(m_sections.size());
    }
    int64_t numberOfRowsInSection(int64_t section) const;
    CGRect rectForRow(const NSIndexPath&) const;
    // Only rows in view have cells.
    runtime::Ref<UITableViewCell> cellForRow(const NSIndexPath&);
    std::optional<NSIndexPath> indexPathForCell(const UITableViewCell&) const;
    std::vector<NSIndexPath> indexPathsForVisibleRows();
    std::vector<runtime::Ref<UITableViewCell>> visibleCells();

    std::optional<NSIndexPath> indexPathForSelectedRow() const { return m_selected; }
    void selectRow(const NSIndexPath&, bool animated);
    void deselectRow(const NSIndexPath&, bool animated);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated);
    void scrollToRow(const NSIndexPath&, int64_t position);

    struct Header {
        int64_t section;
        std::string title;
        CGRect frame;
    };
    // The section headers that have a title, in content coordinates.
    std::vector<Header> headers() const;
    // Asks the data source for the rows if it has not been asked since it changed.
    void loadIfNeeded() const;
    // The rows in view with their cells, in order (empty rows have no cell).
    std::vector<std::pair<NSIndexPath, runtime::Ref<UITableViewCell>>> visibleRows();

    // Input from cells.
    void cellTapped(UITableViewCell&);
    void editControlTapped(UITableViewCell&);
    void deleteConfirmed(UITableViewCell&);
    // Commits an edit as the delete button does.
    void commitEditingStyle(int64_t style, const NSIndexPath&);

    void layoutSubviews() override;
    void setContentOffset(const CGPoint&) override;

private:
    struct Section {
        std::string title;
        double headerTop { 0 };
        double headerHeight { 0 };
        double rowsTop { 0 };
        int64_t rows { 0 };
        std::vector<double> offsets; // row tops when the delegate gives heights; empty when uniform
        double rowsHeight { 0 };
    };

    void computeLayout();
    void tile();
    void enqueue(const runtime::Ref<UITableViewCell>&);
    CGRect rowColumn() const;
    int64_t editingStyleForRow(const NSIndexPath&);
    void configureCell(UITableViewCell&, const NSIndexPath&);
    bool validIndexPath(const NSIndexPath&) const;
    std::pair<int64_t, int64_t> visibleRowRange(const Section&, double top, double bottom) const;

    int64_t m_style { UITableViewStylePlain };
    runtime::WeakId m_dataSource;
    double m_rowHeight { 44 };
    bool m_allowsSelection { true };
    bool m_allowsSelectionDuringEditing { false };
    int64_t m_separatorStyle { 1 };
    bool m_editing { false };
    bool m_needsReload { true };
    bool m_reloading { false };
    std::vector<Section> m_sections;
    std::map<NSIndexPath, runtime::Ref<UITableViewCell>> m_visible;
    std::unordered_map<std::string, std::vector<runtime::Ref<UITableViewCell>>> m_reuseQueues;
    std::optional<NSIndexPath> m_selected;
};

} // namespace uikit
