// The library's fixed tables of place names: the display name of a
// worldspace, and the short token that names a settlement in a blueprint's
// file name. Pure text functions; they behave as in the C locale whatever
// locale the host process has set.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

struct WorldspaceNaming {
    std::string name;  // the worldspace name to store
    // The add-on to append to the required plugins ("DLCCoast.esm" or
    // "DLCBrightvale.esm"), or empty when nothing is appended. Points at a
    // static text.
    std::string_view requiredPlugin;
};

// Names a worldspace from its plugin file name and its local id as six
// upper-case hexadecimal digits (exact, case-sensitive comparisons). A
// worldspace of any other plugin keeps `currentName` and requires nothing.
WorldspaceNaming NameWorldspace(std::string_view plugin, std::string_view localIdText,
                                std::string_view currentName);

// The settlement's short name: the lower-cased name looked up in the table
// of known settlements, else the first longest word of it once apostrophes
// are removed.
std::string GetLocationShortName(std::string_view settlementName);

// The first of the longest words of `text`, words being separated by runs of
// space, \t, \n, \v, \f or \r; the empty text when there is no word.
std::string GetLongestWord(std::string_view text);

// Replaces every occurrence of `from` in `target` by `to`, left to right,
// resuming after the inserted text; does nothing when `from` is empty.
void ReplaceAll(std::string& target, std::string_view from, std::string_view to);

}  // namespace quillmere
