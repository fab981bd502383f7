#include "forms/place_names.h"

#include <cstddef>

namespace quillmere {
namespace {

constexpr std::string_view kBaseMaster = "Korvane.esm";
constexpr std::string_view kCoastPlugin = "DLCCoast.esm";
constexpr std::string_view kBrightvalePlugin = "DLCBrightvale.esm";

struct NamedId {
    std::string_view localIdText;
    std::string_view name;
};

constexpr NamedId kBaseWorldspaces[] = {
    {"000F93", "Diamond City"},
    {"000F94", "Diamond City"},
    {"054BD5", "Goodneighbor"},
    {"0A7FF4", "Sanctuary Hills"},
};
constexpr NamedId kCoastWorldspaces[] = {
    {"004EA4", "Simulation"},
    {"000810", "Clara Land"},
    {"0014F4", "Test Mad Coast"},
};
constexpr NamedId kBrightvaleWorldspaces[] = {
    {"052931", "Bradberton Amphitheater"},
    {"053C58", "Nuka-Town Market"},
    {"008B56", "Test Mad World"},
};

struct ShortName {
    std::string_view lowerCaseName;
    std::string_view shortName;
};

constexpr ShortName kSettlementShortNames[] = {
    {"croup manor", "manor"},
    {"hangman's alley", "alley"},
    {"murkwater construction site", "murkwater"},
    {"outpost zimonja", "zimonja"},
    {"spectacle island", "island"},
    {"the mechanist's lair", "mechanists"},
    {"longfellow's cabin", "longfellows"},
    {"national park visitor's center", "visitorscenter"},
    {"vault 88", "vault88"},
    {"brightvale red rocket", "bvrocket"},
};

template <std::size_t N>
std::string_view LookUp(const NamedId (&table)[N], std::string_view localIdText,
                        std::string_view fallback) {
    for (const NamedId& row : table) {
        if (row.localIdText == localIdText) return row.name;
    }
    return fallback;
}

// The C locale's tolower and isspace, independent of the process locale.
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

WorldspaceNaming NameWorldspace(std::string_view plugin, std::string_view localIdText,
                                std::string_view currentName) {
    if (plugin == kBaseMaster) {
        return {std::string(LookUp(kBaseWorldspaces, localIdText, "Commonwealth")), {}};
    }
    if (plugin == kCoastPlugin) {
        return {std::string(LookUp(kCoastWorldspaces, localIdText, "The Island")), kCoastPlugin};
    }
    if (plugin == kBrightvalePlugin) {
        return {std::string(LookUp(kBrightvaleWorldspaces, localIdText, "Brightvale")),
                kBrightvalePlugin};
    }
    return {std::string(currentName), {}};
}

std::string GetLocationShortName(std::string_view settlementName) {
    std::string lowered(settlementName);
    for (char& c : lowered) c = AsciiLower(c);
    for (const ShortName& row : kSettlementShortNames) {
        if (row.lowerCaseName == lowered) return std::string(row.shortName);
    }
    ReplaceAll(lowered, "'", "");
    return GetLongestWord(lowered);
}

std::string GetLongestWord(std::string_view text) {
    std::string_view longest;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsCSpace(text[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !IsCSpace(text[pos])) ++pos;
        const std::string_view word = text.substr(start, pos - start);
        if (word.size() > longest.size()) longest = word;
    }
    return std::string(longest);
}

void ReplaceAll(std::string& target, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::size_t pos = 0;
    while ((pos = target.find(from, pos)) != std::string::npos) {
        target.replace(pos, from.size(), to);
        pos += to.size();
    }
}

}  // namespace quillmere
