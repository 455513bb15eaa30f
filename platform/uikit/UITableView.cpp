#include "UITableView.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

namespace uikit {

using runtime::Id;
using runtime::Ref;

namespace {

    constexpr int64_t MaxSections = 100000;
    constexpr int64_t MaxRowsPerSection = 10000000;
    constexpr size_t MaxQueuedCellsPerIdentifier = 64;
    // Rows of (nearly) no height would otherwise ask for a cell per row of a huge table.
    constexpr size_t MaxVisibleRows = 2000;
    constexpr double PlainHeaderHeight = 22;
    constexpr double GroupedHeaderHeight = 36;
    constexpr double GroupedGap = 10;
    constexpr double GroupedInset = 10;

    std::vector<Id> cellIds(const auto& refs) { return std::vector<Id>(refs.begin(), refs.end()); }

} // namespace

void UITableView::registerMethods(runtime::ClassBuilder<UITableView>& b)
{
    b.method<&UITableView::initWithFrameAndStyle>("initWithFrame:style:");
    b.method<&UITableView::style>("style");
    b.method<&UITableView::dataSource>("dataSource");
    b.method<&UITableView::setDataSource>("setDataSource:");
    b.method<&UITableView::rowHeight>("rowHeight");
    b.method<&UITableView::setRowHeight>("setRowHeight:");
    b.method<&UITableView::allowsSelection>("allowsSelection");
    b.method<&UITableView::setAllowsSelection>("setAllowsSelection:");
    b.method<&UITableView::allowsSelectionDuringEditing>("allowsSelectionDuringEditing");
    b.method<&UITableView::setAllowsSelectionDuringEditing>("setAllowsSelectionDuringEditing:");
    b.method<&UITableView::separatorStyle>("separatorStyle");
    b.method<&UITableView::setSeparatorStyle>("setSeparatorStyle:");
    b.method<&UITableView::reloadData>("reloadData");
    b.method("dequeueReusableCellWithIdentifier:", [](UITableView& self, const std::string& identifier) -> Id { return self.dequeueReusableCell(identifier); });
    b.method<&UITableView::numberOfSections>("numberOfSections");
    b.method<&UITableView::numberOfRowsInSection>("numberOfRowsInSection:");
    b.method<&UITableView::rectForRow>("rectForRowAtIndexPath:");
    b.method("cellForRowAtIndexPath:", [](UITableView& self, const NSIndexPath& indexPath) -> Id { return self.cellForRow(indexPath); });
    b.method("indexPathForCell:", [](UITableView& self, const Id& cell) -> std::optional<NSIndexPath> {
        auto tableCell = runtime::cast<UITableViewCell>(cell);
        return tableCell ? self.indexPathForCell(*tableCell) : std::nullopt;
    });
    b.method<&UITableView::indexPathsForVisibleRows>("indexPathsForVisibleRows");
    b.method("visibleCells", [](UITableView& self) -> std::vector<Id> { return cellIds(self.visibleCells()); });
    b.method<&UITableView::indexPathForSelectedRow>("indexPathForSelectedRow");
    b.method("selectRowAtIndexPath:animated:scrollPosition:", [](UITableView& self, const NSIndexPath& indexPath, bool animated, int64_t position) {
        self.selectRow(indexPath, animated);
        if (position != UITableViewScrollPositionNone)
            self.scrollToRow(indexPath, position);
    });
    b.method<&UITableView::deselectRow>("deselectRowAtIndexPath:animated:");
    b.method<&UITableView::isEditing>("isEditing");
    b.method<&UITableView::setEditing>("setEditing:animated:");
    b.method("setEditing:", [](UITableView& self, bool editing) { self.setEditing(editing, false); });
    b.method("scrollToRowAtIndexPath:atScrollPosition:animated:", [](UITableView& self, const NSIndexPath& indexPath, int64_t position, bool) {
        self.scrollToRow(indexPath, position);
    });
    // Row animations are not modelled: the table reloads and shows the result at once.
    b.method("deleteRowsAtIndexPaths:withRowAnimation:", [](UITableView& self, const std::vector<NSIndexPath>&, int64_t) { self.reloadData(); });
    b.method("insertRowsAtIndexPaths:withRowAnimation:", [](UITableView& self, const std::vector<NSIndexPath>&, int64_t) { self.reloadData(); });
    b.method("reloadRowsAtIndexPaths:withRowAnimation:", [](UITableView& self, const std::vector<NSIndexPath>&, int64_t) { self.reloadData(); });
    b.method("beginUpdates", [](UITableView&) {});
    b.method("endUpdates", [](UITableView& self) { self.reloadData(); });
}

Ref<UITableView> UITableView::withFrame(const CGRect& frame, int64_t style)
{
    auto table = runtime::make<UITableView>();
    table->initWithFrameAndStyle(frame, style);
    return table;
}

Id UITableView::initWithFrameAndStyle(const CGRect& frame, int64_t style)
{
    m_style = style == UITableViewStyleGrouped ? UITableViewStyleGrouped : UITableViewStylePlain;
    setFrame(frame);
    setBackgroundColor(m_style == UITableViewStyleGrouped ? UIColor::groupTableViewBackgroundColor() : UIColor::whiteColor());
    return self();
}

void UITableView::setDataSource(const Id& dataSource)
{
    m_dataSource = dataSource;
    m_needsReload = true;
    setNeedsLayout();
}

void UITableView::setRowHeight(double height)
{
    if (!std::isfinite(height) || height < 0)
        return;
    m_rowHeight = height;
    m_needsReload = true;
    setNeedsLayout();
}

// MARK: Layout of rows

CGRect UITableView::rowColumn() const
{
    double width = bounds().size.width;
    if (m_style == UITableViewStyleGrouped)
        return CGRectMake(GroupedInset, 0, std::max(0.0, width - 2 * GroupedInset), 0);
    return CGRectMake(0, 0, width, 0);
}

void UITableView::computeLayout()
{
    m_sections.clear();
    Id dataSource = m_dataSource.lock();
    Id delegate = m_delegate.lock();
    auto self = this->self();
    int64_t sections = 0;
    if (dataSource)
        sections = runtime::respondsTo(dataSource, "numberOfSectionsInTableView:") ? runtime::send<int64_t>(dataSource, "numberOfSectionsInTableView:", self) : 1;
    sections = std::clamp<int64_t>(sections, 0, MaxSections);
    bool askHeights = runtime::respondsTo(delegate, "tableView:heightForRowAtIndexPath:");
    bool grouped = m_style == UITableViewStyleGrouped;
    double y = 0;
    for (int64_t s = 0; s < sections; ++s) {
        Section section;
        if (runtime::respondsTo(dataSource, "tableView:numberOfRowsInSection:"))
            section.rows = std::clamp<int64_t>(runtime::send<int64_t>(dataSource, "tableView:numberOfRowsInSection:", self, s), 0, MaxRowsPerSection);
        if (runtime::respondsTo(dataSource, "tableView:titleForHeaderInSection:"))
            section.title = runtime::send<std::string>(dataSource, "tableView:titleForHeaderInSection:", self, s);
        if (grouped)
            y += GroupedGap;
        section.headerTop = y;
        if (!section.title.empty())
            section.headerHeight = grouped ? GroupedHeaderHeight : PlainHeaderHeight;
        y += section.headerHeight;
        section.rowsTop = y;
        if (askHeights) {
            section.offsets.reserve(static_cast<size_t>(section.rows));
            double offset = 0;
            for (int64_t r = 0; r < section.rows; ++r) {
                section.offsets.push_back(offset);
                double height = runtime::send<double>(delegate, "tableView:heightForRowAtIndexPath:", self, NSIndexPathMake(s, r));
                offset += std::isfinite(height) && height >= 0 ? height : m_rowHeight;
            }
            section.rowsHeight = offset;
        } else {
            section.rowsHeight = static_cast<double>(section.rows) * m_rowHeight;
        }
        y += section.rowsHeight;
        if (grouped)
            y += GroupedGap;
        m_sections.push_back(std::move(section));
    }
    setContentSize({ bounds().size.width, y });
}

void UITableView::loadIfNeeded() const
{
    if (m_needsReload && !m_reloading)
        const_cast<UITableView*>(this)->reloadData();
}

int64_t UITableView::numberOfRowsInSection(int64_t section) const
{
    loadIfNeeded();
    if (section < 0 || section >= numberOfSections())
        return 0;
    return m_sections[static_cast<size_t>(section)].rows;
}

bool UITableView::validIndexPath(const NSIndexPath& indexPath) const
{
    return indexPath.row >= 0 && indexPath.row < numberOfRowsInSection(indexPath.section);
}

CGRect UITableView::rectForRow(const NSIndexPath& indexPath) const
{
    loadIfNeeded();
    if (!validIndexPath(indexPath))
        return CGRectZero;
    const auto& section = m_sections[static_cast<size_t>(indexPath.section)];
    auto row = static_cast<size_t>(indexPath.row);
    double top, height;
    if (section.offsets.empty()) {
        top = section.rowsTop + static_cast<double>(indexPath.row) * m_rowHeight;
        height = m_rowHeight;
    } else {
        top = section.rowsTop + section.offsets[row];
        height = (row + 1 < section.offsets.size() ? section.offsets[row + 1] : section.rowsHeight) - section.offsets[row];
    }
    CGRect column = rowColumn();
    return CGRectMake(column.origin.x, top, column.size.width, height);
}

std::pair<int64_t, int64_t> UITableView::visibleRowRange(const Section& section, double top, double bottom) const
{
    if (section.rows == 0 || bottom <= section.rowsTop || top >= section.rowsTop + section.rowsHeight)
        return { 0, 0 };
    double from = top - section.rowsTop, to = bottom - section.rowsTop;
    if (section.offsets.empty()) {
        if (m_rowHeight <= 0)
            return { 0, 0 };
        auto first = static_cast<int64_t>(std::floor(std::max(0.0, from) / m_rowHeight));
        auto last = static_cast<int64_t>(std::ceil(to / m_rowHeight));
        return { std::clamp<int64_t>(first, 0, section.rows), std::clamp<int64_t>(last, 0, section.rows) };
    }
    auto begin = std::upper_bound(section.offsets.begin(), section.offsets.end(), from);
    auto first = std::max<int64_t>(0, (begin - section.offsets.begin()) - 1);
    auto end = std::lower_bound(section.offsets.begin(), section.offsets.end(), to);
    return { first, std::clamp<int64_t>(end - section.offsets.begin(), first, section.rows) };
}

int64_t UITableView::editingStyleForRow(const NSIndexPath& indexPath)
{
    Id dataSource = m_dataSource.lock();
    Id delegate = m_delegate.lock();
    auto self = this->self();
    if (!runtime::respondsTo(dataSource, "tableView:commitEditingStyle:forRowAtIndexPath:"))
        return UITableViewCellEditingStyleNone;
    if (runtime::respondsTo(dataSource, "tableView:canEditRowAtIndexPath:") && !runtime::send<bool>(dataSource, "tableView:canEditRowAtIndexPath:", self, indexPath))
        return UITableViewCellEditingStyleNone;
    if (runtime::respondsTo(delegate, "tableView:editingStyleForRowAtIndexPath:"))
        return runtime::send<int64_t>(delegate, "tableView:editingStyleForRowAtIndexPath:", self, indexPath);
    return UITableViewCellEditingStyleDelete;
}

void UITableView::configureCell(UITableViewCell& cell, const NSIndexPath& indexPath)
{
    cell.setTableView(selfAs<UITableView>());
    cell.setFrame(rectForRow(indexPath));
    cell.setEditingStyle(m_editing ? editingStyleForRow(indexPath) : UITableViewCellEditingStyleNone);
    cell.setEditing(m_editing);
    cell.setSelected(m_selected == indexPath);
    cell.setNeedsLayout();
    cell.layoutIfNeeded();
}

void UITableView::enqueue(const Ref<UITableViewCell>& cell)
{
    cell->removeFromSuperview();
    cell->setTableView(nullptr);
    if (cell->reuseIdentifier().empty())
        return;
    auto& queue = m_reuseQueues[cell->reuseIdentifier()];
    if (queue.size() < MaxQueuedCellsPerIdentifier)
        queue.push_back(cell);
}

Ref<UITableViewCell> UITableView::dequeueReusableCell(const std::string& identifier)
{
    auto it = m_reuseQueues.find(identifier);
    if (it == m_reuseQueues.end() || it->second.empty())
        return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    runtime::send(cell, "prepareForReuse");
    return cell;
}

void UITableView::tile()
{
    auto keepAlive = selfAs<UITableView>();
    CGRect visible = bounds();
    double top = visible.origin.y, bottom = visible.origin.y + visible.size.height;
    std::vector<NSIndexPath> wanted;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        auto [first, last] = visibleRowRange(m_sections[s], top, bottom);
        for (int64_t r = first; r < last && wanted.size() < MaxVisibleRows; ++r)
            wanted.push_back(NSIndexPathMake(static_cast<int64_t>(s), r));
    }
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        if (!std::binary_search(wanted.begin(), wanted.end(), it->first)) {
            enqueue(it->second);
            it = m_visible.erase(it);
        } else {
            configureCell(*it->second, it->first);
            ++it;
        }
    }
    Id dataSource = m_dataSource.lock();
    for (auto& indexPath : wanted) {
        if (m_visible.count(indexPath))
            continue;
        auto cell = runtime::cast<UITableViewCell>(runtime::send<Id>(dataSource, "tableView:cellForRowAtIndexPath:", keepAlive, indexPath));
        if (!cell) {
            runtime::reportDiagnostic(fmt::format("UITableView: the data source gave no cell for row {} of section {}; the row stays empty", indexPath.row, indexPath.section));
            continue;
        }
        bool inUse = std::any_of(m_visible.begin(), m_visible.end(), [&](const auto& entry) { return entry.second == cell; });
        if (inUse) {
            runtime::reportDiagnostic(fmt::format("UITableView: the data source gave the cell of another row for row {} of section {}", indexPath.row, indexPath.section));
            continue;
        }
        m_visible.emplace(indexPath, cell);
        configureCell(*cell, indexPath);
        if (cell->superview().get() != this)
            addSubview(cell);
    }
}

void UITableView::reloadData()
{
    if (m_reloading) {
        m_needsReload = true;
        return;
    }
    auto keepAlive = selfAs<UITableView>();
    m_reloading = true;
    m_needsReload = false;
    for (auto& [indexPath, cell] : m_visible)
        enqueue(cell);
    m_visible.clear();
    m_selected.reset();
    computeLayout();
    tile();
    m_reloading = false;
    // A data source that reloaded while it was asked gets one more pass, not an endless loop.
    if (m_needsReload) {
        m_needsReload = false;
        m_reloading = true;
        for (auto& [indexPath, cell] : m_visible)
            enqueue(cell);
        m_visible.clear();
        computeLayout();
        tile();
        m_reloading = false;
    }
}

void UITableView::layoutSubviews()
{
    if (m_reloading)
        return;
    if (m_needsReload)
        reloadData();
    else
        tile();
}

void UITableView::setContentOffset(const CGPoint& offset)
{
    UIScrollView::setContentOffset(offset);
    if (!m_needsReload && !m_reloading)
        tile();
}

// MARK: Queries

Ref<UITableViewCell> UITableView::cellForRow(const NSIndexPath& indexPath)
{
    layoutIfNeeded();
    auto it = m_visible.find(indexPath);
    return it == m_visible.end() ? nullptr : it->second;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell& cell) const
{
    for (auto& [indexPath, visible] : m_visible) {
        if (visible.get() == &cell)
            return indexPath;
    }
    return std::nullopt;
}

std::vector<NSIndexPath> UITableView::indexPathsForVisibleRows()
{
    layoutIfNeeded();
    std::vector<NSIndexPath> paths;
    for (auto& entry : m_visible)
        paths.push_back(entry.first);
    return paths;
}

std::vector<Ref<UITableViewCell>> UITableView::visibleCells()
{
    layoutIfNeeded();
    std::vector<Ref<UITableViewCell>> cells;
    for (auto& entry : m_visible)
        cells.push_back(entry.second);
    return cells;
}

std::vector<std::pair<NSIndexPath, Ref<UITableViewCell>>> UITableView::visibleRows()
{
    layoutIfNeeded();
    std::vector<std::pair<NSIndexPath, Ref<UITableViewCell>>> rows;
    CGRect visible = bounds();
    for (size_t s = 0; s < m_sections.size(); ++s) {
        auto [first, last] = visibleRowRange(m_sections[s], visible.origin.y, visible.origin.y + visible.size.height);
        for (int64_t r = first; r < last; ++r) {
            NSIndexPath indexPath = NSIndexPathMake(static_cast<int64_t>(s), r);
            auto it = m_visible.find(indexPath);
            rows.emplace_back(indexPath, it == m_visible.end() ? nullptr : it->second);
        }
    }
    return rows;
}

std::vector<UITableView::Header> UITableView::headers() const
{
    loadIfNeeded();
    std::vector<Header> list;
    double width = bounds().size.width;
    bool grouped = m_style == UITableViewStyleGrouped;
    for (size_t s = 0; s < m_sections.size(); ++s) {
        const auto& section = m_sections[s];
        if (section.title.empty())
            continue;
        CGRect frame = grouped ? CGRectMake(2 * GroupedInset, section.headerTop + 7, std::max(0.0, width - 4 * GroupedInset), 22) : CGRectMake(0, section.headerTop, width, PlainHeaderHeight);
        list.push_back({ static_cast<int64_t>(s), section.title, frame });
    }
    return list;
}

// MARK: Selection and editing

void UITableView::selectRow(const NSIndexPath& indexPath, bool)
{
    if (!validIndexPath(indexPath))
        return;
    if (m_selected && *m_selected != indexPath) {
        if (auto it = m_visible.find(*m_selected); it != m_visible.end())
            it->second->setSelected(false);
    }
    m_selected = indexPath;
    if (auto it = m_visible.find(indexPath); it != m_visible.end())
        it->second->setSelected(true);
}

void UITableView::deselectRow(const NSIndexPath& indexPath, bool animated)
{
    if (m_selected != indexPath)
        return;
    m_selected.reset();
    if (auto it = m_visible.find(indexPath); it != m_visible.end())
        it->second->setSelected(false, animated);
}

void UITableView::setEditing(bool editing, bool)
{
    m_editing = editing;
    auto visible = m_visible;
    for (auto& [indexPath, cell] : visible)
        configureCell(*cell, indexPath);
}

void UITableView::scrollToRow(const NSIndexPath& indexPath, int64_t position)
{
    if (!validIndexPath(indexPath))
        return;
    layoutIfNeeded();
    CGRect row = rectForRow(indexPath);
    CGRect visible = bounds();
    double height = visible.size.height;
    double y = visible.origin.y;
    switch (position) {
    case UITableViewScrollPositionTop:
        y = row.minY();
        break;
    case UITableViewScrollPositionMiddle:
        y = row.midY() - height / 2;
        break;
    case UITableViewScrollPositionBottom:
        y = row.maxY() - height;
        break;
    default:
        if (row.minY() < y)
            y = row.minY();
        else if (row.maxY() > y + height)
            y = row.maxY() - height;
        break;
    }
    y = std::clamp(y, 0.0, std::max(0.0, contentSize().height - height));
    setContentOffset({ visible.origin.x, y });
}

void UITableView::cellTapped(UITableViewCell& cell)
{
    auto keepAlive = selfAs<UITableView>();
    auto cellAlive = cell.selfAs<UITableViewCell>();
    auto indexPath = indexPathForCell(cell);
    if (!indexPath)
        return;
    if (m_editing) {
        bool hidConfirmation = false;
        for (auto& [path, visible] : m_visible) {
            if (visible->showingDeleteConfirmation()) {
                visible->setShowingDeleteConfirmation(false);
                hidConfirmation = true;
            }
        }
        if (hidConfirmation || !m_allowsSelectionDuringEditing)
            return;
    }
    if (!m_allowsSelection)
        return;
    Id delegate = m_delegate.lock();
    NSIndexPath target = *indexPath;
    if (runtime::respondsTo(delegate, "tableView:willSelectRowAtIndexPath:")) {
        auto answer = runtime::send<std::optional<NSIndexPath>>(delegate, "tableView:willSelectRowAtIndexPath:", Id(keepAlive), target);
        if (!answer || !validIndexPath(*answer))
            return;
        target = *answer;
    }
    if (m_selected && *m_selected != target) {
        NSIndexPath previous = *m_selected;
        deselectRow(previous, false);
        if (runtime::respondsTo(delegate, "tableView:didDeselectRowAtIndexPath:"))
            runtime::send(delegate, "tableView:didDeselectRowAtIndexPath:", Id(keepAlive), previous);
    }
    selectRow(target, false);
    if (runtime::respondsTo(delegate, "tableView:didSelectRowAtIndexPath:"))
        runtime::send(delegate, "tableView:didSelectRowAtIndexPath:", Id(keepAlive), target);
}

void UITableView::editControlTapped(UITableViewCell& cell)
{
    auto indexPath = indexPathForCell(cell);
    if (!indexPath)
        return;
    if (cell.editingStyle() == UITableViewCellEditingStyleInsert) {
        commitEditingStyle(UITableViewCellEditingStyleInsert, *indexPath);
        return;
    }
    bool show = !cell.showingDeleteConfirmation();
    for (auto& [path, visible] : m_visible)
        visible->setShowingDeleteConfirmation(false);
    cell.setShowingDeleteConfirmation(show);
}

void UITableView::deleteConfirmed(UITableViewCell& cell)
{
    auto indexPath = indexPathForCell(cell);
    if (!indexPath)
        return;
    cell.setShowingDeleteConfirmation(false);
    commitEditingStyle(UITableViewCellEditingStyleDelete, *indexPath);
}

void UITableView::commitEditingStyle(int64_t style, const NSIndexPath& indexPath)
{
    if (!validIndexPath(indexPath))
        return;
    auto keepAlive = selfAs<UITableView>();
    Id dataSource = m_dataSource.lock();
    if (runtime::respondsTo(dataSource, "tableView:commitEditingStyle:forRowAtIndexPath:"))
        runtime::send(dataSource, "tableView:commitEditingStyle:forRowAtIndexPath:", Id(keepAlive), style, indexPath);
}

} // namespace uikit
