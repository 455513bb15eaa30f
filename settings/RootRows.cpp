#include "RootRows.h"

#include <KelvaneLibrary/SharedFiles.h>

namespace plvsettings {

namespace Key = kelvane::Key;

namespace {

    RowDescription colorRow(std::string label, std::string_view key)
    {
        return { std::move(label), std::nullopt, RowType::Color, std::string(key), std::nullopt };
    }

    std::vector<RowDescription> colorRows(std::string_view background, std::string_view field, std::string_view text)
    {
        return {
            colorRow("Background color", background),
            colorRow("Textfield background color", field),
            colorRow("Text color", text),
        };
    }

} // namespace

RootRows RootRows::make()
{
    RootRows rows;
    rows.replyOptionsList = colorRows(Key::QuickReplyColors, Key::QuickReplyTextField, Key::QuickReplyText);
    rows.composeOptionsList = colorRows(Key::QuickComposeColors, Key::QuickComposeTextField, Key::QuickComposeText);
    rows.generalOptionsList = {
        { "Notification center reply", "Show QR when tapping a SMS in NC.", RowType::Switch, std::string(Key::NotificationCenterReply), "1" },
        { "Lockscreen Quick Reply", "Show QR in lock screen", RowType::Switch, std::string(Key::LockscreenQuickReply), "1" },
        { "Send bug report", std::nullopt, RowType::BugReport, "", std::nullopt },
        { "Favorites", std::nullopt, RowType::Favorites, "", std::nullopt },
        { "Add emails to QC contacts list", "If you have iMessage recipients using e-mail", RowType::Switch, std::string(Key::EmailsInComposeContacts), "0" },
    };
    rows.skinOptionsList = {
        { "QuickCompose skin", std::nullopt, RowType::QuickComposeSkin, "qcskin", std::nullopt },
        { "QuickReply skin", std::nullopt, RowType::QuickReplySkin, "qrskin", std::nullopt },
    };
    return rows;
}

const std::vector<RowDescription>* RootRows::section(int64_t section) const
{
    switch (section) {
    case static_cast<int64_t>(RootSection::General):
        return &generalOptionsList;
    case static_cast<int64_t>(RootSection::Skins):
        return &skinOptionsList;
    case static_cast<int64_t>(RootSection::ComposeColors):
        return &composeOptionsList;
    case static_cast<int64_t>(RootSection::ReplyColors):
        return &replyOptionsList;
    default:
        return nullptr;
    }
}

const RowDescription* RootRows::row(int64_t sectionIndex, int64_t rowIndex) const
{
    auto* list = section(sectionIndex);
    if (!list || rowIndex < 0 || rowIndex >= static_cast<int64_t>(list->size()))
        return nullptr;
    return &(*list)[static_cast<size_t>(rowIndex)];
}

std::string headerTitle(int64_t section)
{
    switch (section) {
    case 0:
        return "General settings";
    case 1:
        return "Color skins";
    case 2:
        return "Custom QuickCompose colors";
    case 3:
        return "Custom QuickReply colors";
    default:
        return {};
    }
}

std::string cellName(const RowDescription& row)
{
    switch (row.type) {
    case RowType::BugReport:
        return "row-bug";
    case RowType::Favorites:
        return "row-favorites";
    default:
        return "row-" + row.key;
    }
}

} // namespace plvsettings
