// The rows of the settings root table, as data: four sections (general
// switches and commands, skins, Quick Compose colours, Quick Reply colours),
// each row with its label, second line, type, preference key and default.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plvsettings {

enum class RowType {
    Switch,
    BugReport,
    Favorites,
    QuickReplySkin,
    QuickComposeSkin,
    Color,
};

struct RowDescription {
    std::string label;
    std::optional<std::string> subtitle;
    RowType type { RowType::Color };
    std::string key;
    // Switch rows: the value shown while the preference is absent.
    std::optional<std::string> defaultValue;
};

enum class RootSection {
    General = 0,
    Skins = 1,
    ComposeColors = 2,
    ReplyColors = 3,
};
inline constexpr int64_t RootSectionCount = 4;

struct RootRows {
    std::vector<RowDescription> generalOptionsList;
    std::vector<RowDescription> skinOptionsList;
    std::vector<RowDescription> composeOptionsList;
    std::vector<RowDescription> replyOptionsList;

    // The lists, built in the order reply, compose, general, skins.
    static RootRows make();
    // nullptr for a section that does not exist.
    const std::vector<RowDescription>* section(int64_t) const;
    const RowDescription* row(int64_t section, int64_t row) const;
};

std::string headerTitle(int64_t section);

// The snapshot name of a row's cell: "row-" and its key, or for the two
// command rows "row-bug" and "row-favorites".
std::string cellName(const RowDescription&);

} // namespace plvsettings
