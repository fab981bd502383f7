// The blueprint parsed most recently: its path, its exact bytes and its
// tree. A script that imports a settlement calls five readers on one file in
// a row, and each reads the file again; when a reader finds the same bytes at
// the same path, the tree parsed from them last time is the tree it would
// parse now, so it takes that one instead of parsing again. Only one
// blueprint is kept, and only while an import is under way: the last reader
// of an import (GetExtraPropsFromBlueprint) lets it go.
#pragma once

#include <json/value.h>

#include <memory>
#include <string>

namespace quillmere {

struct ParsedBlueprint {
    std::string path;   // as the script passed it
    std::string bytes;  // every byte read from the file
    Json::Value root;   // parsed from `bytes`; never changed once kept
};

// The kept blueprint, or null. Safe from any thread; the blueprint stays
// alive for as long as the caller holds it, even if another is kept meanwhile.
std::shared_ptr<const ParsedBlueprint> LastParsedBlueprint();
// Keeps `parsed` in place of the previous one.
void KeepParsedBlueprint(std::shared_ptr<const ParsedBlueprint> parsed);
// Lets the kept blueprint go (its memory is freed once no caller holds it).
void ForgetParsedBlueprint();

}  // namespace quillmere
