#include "UIKitTestSupport.h"

#include <fmt/format.h>

namespace uikit_test {

// A data source shaped like the compose window's recipient list: the first
// `favourites` rows carry a star button, and every reused cell has its
// accessory set or cleared.
class PeopleSource : public runtime::Object {
    PLV_CLASS(PeopleSource, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<PeopleSource>& b)
    {
        b.method("numberOfSectionsInTableView:", [](PeopleSource& self, const Id&) -> int64_t { return static_cast<int64_t>(self.sections.size()); });
        b.method("tableView:numberOfRowsInSection:", [](PeopleSource& self, const Id&, int64_t section) -> int64_t {
            return self.claimedRows >= 0 ? self.claimedRows : static_cast<int64_t>(self.sections[static_cast<size_t>(section)].size());
        });
        b.method("tableView:titleForHeaderInSection:", [](PeopleSource& self, const Id&, int64_t section) -> std::string {
            return section < static_cast<int64_t>(self.titles.size()) ? self.titles[static_cast<size_t>(section)] : "";
        });
        b.method("tableView:cellForRowAtIndexPath:", [](PeopleSource& self, const Id& table, const NSIndexPath& indexPath) -> Id {
            ++self.cellRequests;
            auto& rows = self.sections[static_cast<size_t>(indexPath.section)];
            if (indexPath.row >= static_cast<int64_t>(rows.size()))
                return runtime::nil;
            auto cell = runtime::cast<UITableViewCell>(runtime::send<Id>(table, "dequeueReusableCellWithIdentifier:", std::string("it.kelvane.quillara")));
            if (cell)
                ++self.reused;
            else
                cell = runtime::cast<UITableViewCell>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UITableViewCell"), "alloc"), "initWithStyle:reuseIdentifier:", int64_t(UITableViewCellStyleSubtitle), std::string("it.kelvane.quillara")));
            cell->textLabel()->setText(rows[static_cast<size_t>(indexPath.row)]);
            cell->detailTextLabel()->setText(fmt::format("+39 {}", indexPath.row));
            if (indexPath.row < self.favourites) {
                auto star = makeView<UIButton>(CGRectMake(0, 0, 44, 44));
                star->setName("star");
                cell->setAccessoryView(star);
            } else {
                runtime::send(cell, "setAccessoryView:", runtime::nil);
            }
            return cell;
        });
        b.method("tableView:didSelectRowAtIndexPath:", [](PeopleSource& self, const Id&, const NSIndexPath& indexPath) {
            self.note(fmt::format("select {}.{}", indexPath.section, indexPath.row));
        });
        b.method("tableView:commitEditingStyle:forRowAtIndexPath:", [](PeopleSource& self, const Id& table, int64_t style, const NSIndexPath& indexPath) {
            self.note(fmt::format("commit {} {}.{}", style, indexPath.section, indexPath.row));
            auto& rows = self.sections[static_cast<size_t>(indexPath.section)];
            rows.erase(rows.begin() + indexPath.row);
            runtime::send(table, "reloadData");
        });
    }

    void note(const std::string& line)
    {
        if (!trace.empty())
            trace += "|";
        trace += line;
    }

    std::vector<std::vector<std::string>> sections;
    std::vector<std::string> titles;
    int64_t favourites { 0 };
    int64_t claimedRows { -1 };
    int cellRequests { 0 };
    int reused { 0 };
    std::string trace;
};

class Tables : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        window = screenWindow();
        source = runtime::make<PeopleSource>();
        std::vector<std::string> names;
        for (int i = 0; i < 30; ++i)
            names.push_back(fmt::format("Person {}", i));
        source->sections = { names };
    }

    Ref<UITableView> makeTable(const CGRect& frame, int64_t style = UITableViewStylePlain)
    {
        auto table = runtime::cast<UITableView>(runtime::send<Id>(runtime::send<Id>(runtime::classNamed("UITableView"), "alloc"), "initWithFrame:style:", frame, style));
        runtime::send(table, "setDataSource:", Id(source));
        runtime::send(table, "setDelegate:", Id(source));
        window->addSubview(table);
        return table;
    }

    Ref<UIWindow> window;
    Ref<PeopleSource> source;
};

TEST_F(Tables, OnlyRowsInViewHaveCells)
{
    auto table = makeTable(CGRectMake(0, 0, 320, 147));
    auto rows = table->indexPathsForVisibleRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.back(), NSIndexPathMake(0, 3));
    EXPECT_EQ(source->cellRequests, 4);
    EXPECT_EQ(table->contentSize(), CGSizeMake(320, 30 * 44));
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 20)), nullptr);
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 1))->frame(), CGRectMake(0, 44, 320, 44));
}

TEST_F(Tables, ReuseClearsWhatTheDataSourceClears)
{
    source->favourites = 2;
    auto table = makeTable(CGRectMake(0, 0, 320, 88));
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 0))->accessoryView()->name(), "star");
    // Scrolling two rows down hands the favourites' cells to ordinary people.
    table->setContentOffset({ 0, 88 });
    EXPECT_EQ(source->reused, 2);
    for (auto& cell : table->visibleCells()) {
        EXPECT_EQ(cell->accessoryView(), nullptr);
        EXPECT_EQ(cell->viewNamed("star"), nullptr) << "the old star is off the cell";
    }
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 2))->textLabel()->text(), "Person 2");
}

TEST_F(Tables, ReloadingHandsTheSameCellsOutAgain)
{
    auto table = makeTable(CGRectMake(0, 0, 320, 147));
    auto before = table->visibleCells();
    table->selectRow(NSIndexPathMake(0, 1), false);
    EXPECT_TRUE(before[1]->isSelected());
    runtime::send(table, "reloadData");
    EXPECT_EQ(source->reused, 4);
    auto after = table->visibleCells();
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_FALSE(table->indexPathForSelectedRow()) << "reloading drops the selection";
    for (auto& cell : after)
        EXPECT_FALSE(cell->isSelected()) << "a reused cell comes back unselected";
}

TEST_F(Tables, MoreRowsThanCellsLeavesEmptyRows)
{
    source->claimedRows = 40;
    auto table = makeTable(CGRectMake(0, 0, 320, 480));
    table->setContentOffset({ 0, 44 * 28 });
    auto rows = table->visibleRows();
    ASSERT_FALSE(rows.empty());
    int empty = 0;
    for (auto& [indexPath, cell] : rows) {
        if (indexPath.row >= 30) {
            EXPECT_EQ(cell, nullptr);
            ++empty;
        } else {
            EXPECT_NE(cell, nullptr);
        }
    }
    EXPECT_GT(empty, 0);
    EXPECT_EQ(g_diagnostics.size(), static_cast<size_t>(empty));
    EXPECT_NO_THROW(snapshotScreen());
    auto text = snapshotScreenJSON();
    EXPECT_EQ(text, nlohmann::json::parse(text).dump());
    // A tap on an empty row selects nothing.
    CGRect lastRow = table->convertRectToView(table->rectForRow(NSIndexPathMake(0, 35)), nullptr);
    tapScreen({ lastRow.midX(), lastRow.midY() });
    EXPECT_EQ(source->trace, "");
}

TEST_F(Tables, TapSelectsTheRowAndTellsTheDelegate)
{
    auto table = makeTable(CGRectMake(0, 20, 320, 416));
    tapScreen({ 100, 20 + 44 * 2 + 10 });
    EXPECT_EQ(source->trace, "select 0.2");
    EXPECT_EQ(table->indexPathForSelectedRow(), NSIndexPathMake(0, 2));
    EXPECT_TRUE(table->cellForRow(NSIndexPathMake(0, 2))->isSelected());
    runtime::send(table, "deselectRowAtIndexPath:animated:", NSIndexPathMake(0, 2), true);
    EXPECT_FALSE(runtime::send<std::optional<NSIndexPath>>(table, "indexPathForSelectedRow"));
    EXPECT_FALSE(table->cellForRow(NSIndexPathMake(0, 2))->isSelected());
}

TEST_F(Tables, EditingModeDeletesThroughTheConfirmation)
{
    auto table = makeTable(CGRectMake(0, 0, 320, 480));
    runtime::send(table, "setEditing:animated:", true, true);
    auto cell = table->cellForRow(NSIndexPathMake(0, 1));
    ASSERT_TRUE(cell->isEditing());
    EXPECT_EQ(cell->editingStyle(), UITableViewCellEditingStyleDelete);
    tapScreen({ 160, 44 + 22 });
    EXPECT_EQ(source->trace, "") << "no selection while editing";
    tapScreen({ 10, 44 + 22 });
    EXPECT_TRUE(cell->showingDeleteConfirmation());
    tapScreen({ 320 - 10 - 20, 44 + 22 });
    EXPECT_EQ(source->trace, "commit 1 0.1");
    EXPECT_EQ(table->numberOfRowsInSection(0), 29);
    EXPECT_EQ(table->cellForRow(NSIndexPathMake(0, 1))->textLabel()->text(), "Person 2");
    table->setEditing(false, false);
    EXPECT_FALSE(table->cellForRow(NSIndexPathMake(0, 1))->isEditing());
}

TEST_F(Tables, GroupedSectionsHaveTitledHeadersAndInsetRows)
{
    source->sections = { { "Notification center reply", "Lockscreen Quick Reply" }, { "QuickCompose skin" } };
    source->titles = { "General settings", "Color skins" };
    auto table = makeTable(CGRectMake(0, 0, 320, 416), UITableViewStyleGrouped);
    auto headers = table->headers();
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[1].title, "Color skins");
    CGRect first = table->rectForRow(NSIndexPathMake(0, 0));
    CGRect next = table->rectForRow(NSIndexPathMake(1, 0));
    EXPECT_EQ(first.origin.x, 10);
    EXPECT_EQ(first.size.width, 300);
    EXPECT_GT(next.minY(), table->rectForRow(NSIndexPathMake(0, 1)).maxY() + 30) << "the next section starts after a gap and its header";
    EXPECT_EQ(table->numberOfSections(), 2);
}

TEST_F(Tables, CellStylesLayOutTheirLabels)
{
    auto cell = UITableViewCell::withStyle(UITableViewCellStyleSubtitle, "x");
    EXPECT_TRUE(cell->detailTextLabel());
    EXPECT_FALSE(UITableViewCell::withStyle(UITableViewCellStyleDefault, "x")->detailTextLabel());
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->textLabel()->font()->fontName(), "Helvetica-Bold");
    EXPECT_LT(cell->contentView()->frame().maxX(), 320 - 14);
    EXPECT_LT(cell->textLabel()->frame().maxY(), cell->detailTextLabel()->frame().maxY());
}

} // namespace uikit_test

namespace uikit_test {

TEST_F(Tables, DraggingScrollsAndReusesCells)
{
    auto table = makeTable(CGRectMake(0, 0, 320, 200));
    table->layoutIfNeeded();
    int before = source->cellRequests;
    EXPECT_TRUE(dragScreen({ 160, 190 }, { 160, 10 }));
    EXPECT_EQ(table->contentOffset(), CGPointMake(0, 180));
    EXPECT_GT(source->cellRequests, before);
    EXPECT_GT(source->reused, 0) << "cells that scrolled out came back for the rows that scrolled in";
    auto rows = table->indexPathsForVisibleRows();
    EXPECT_EQ(rows.front(), NSIndexPathMake(0, 4));
}

TEST_F(Tables, EditingPutsTheAccessoryAside)
{
    source->favourites = 1;
    auto table = makeTable(CGRectMake(0, 0, 320, 200));
    auto cell = table->cellForRow(NSIndexPathMake(0, 0));
    ASSERT_TRUE(cell->accessoryView());
    EXPECT_FALSE(cell->accessoryView()->isHidden());
    table->setEditing(true, true);
    table->layoutIfNeeded();
    EXPECT_TRUE(cell->accessoryView()->isHidden());
    EXPECT_EQ(cell->contentView()->frame().origin.x, UITableViewCell::EditControlWidth);
    table->setEditing(false, true);
    table->layoutIfNeeded();
    EXPECT_FALSE(cell->accessoryView()->isHidden());
    EXPECT_EQ(cell->contentView()->frame().origin.x, 0);
}

} // namespace uikit_test

namespace uikit_test {

// Rows of their own heights, as a delegate answers them.
class TallRows : public runtime::Object {
    PLV_CLASS(TallRows, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<TallRows>& b)
    {
        b.method("tableView:heightForRowAtIndexPath:", [](TallRows&, const Id&, const NSIndexPath& indexPath) -> double {
            return indexPath.row % 2 ? 100.0 : -5.0;
        });
    }
};

TEST_F(Tables, RowsTakeTheHeightsTheDelegateGives)
{
    auto heights = runtime::make<TallRows>();
    auto table = makeTable(CGRectMake(0, 0, 320, 150));
    table->setDelegate(heights);
    table->reloadData();
    EXPECT_EQ(table->rectForRow(NSIndexPathMake(0, 1)), CGRectMake(0, 44, 320, 100)) << "a negative height reads as the table's row height";
    EXPECT_EQ(table->rectForRow(NSIndexPathMake(0, 2)), CGRectMake(0, 144, 320, 44));
    EXPECT_EQ(table->indexPathsForVisibleRows(), (std::vector<NSIndexPath> { NSIndexPathMake(0, 0), NSIndexPathMake(0, 1), NSIndexPathMake(0, 2) }));
    table->setContentOffset({ 0, 150 });
    EXPECT_EQ(table->indexPathsForVisibleRows().front(), NSIndexPathMake(0, 2));
    EXPECT_EQ(table->contentSize().height, 15 * 44 + 15 * 100);
    EXPECT_EQ(table->rectForRow(NSIndexPathMake(0, 30)), CGRectZero);
    EXPECT_EQ(table->rectForRow(NSIndexPathMake(3, 0)), CGRectZero);
}

TEST_F(Tables, ScrollingToARowBringsItIntoView)
{
    auto table = makeTable(CGRectMake(0, 0, 320, 200));
    runtime::send(table, "scrollToRowAtIndexPath:atScrollPosition:animated:", NSIndexPathMake(0, 10), int64_t(UITableViewScrollPositionTop), false);
    EXPECT_EQ(table->contentOffset().y, 440);
    table->scrollToRow(NSIndexPathMake(0, 29), UITableViewScrollPositionTop);
    EXPECT_EQ(table->contentOffset().y, 30 * 44 - 200) << "never past the end of the content";
    table->scrollToRow(NSIndexPathMake(0, 0), UITableViewScrollPositionNone);
    EXPECT_EQ(table->contentOffset().y, 0);
}

} // namespace uikit_test
