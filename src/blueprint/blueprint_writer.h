#pragma once

#include <json/value.h>

#include <string>

#include "blueprint/pending_export.h"
#include "vm/native_function.h"

namespace quillmere {

// Writes the pending export as a blueprint into `slotFolder`; true when the
// whole file was written, false (with an error line) otherwise.
bool StoreDataToBlueprint(StaticFunctionTag*, BSFixedString slotFolder);

// "bp_" + player + "_" + settlement short name + "_" + yymmddHHMMSS + ".json",
// lower-cased; bytes a file name cannot hold become "_".
std::string BlueprintFileName(const std::string& playerName, const std::string& locationShortName,
                              const std::string& exportDate);

// The blueprint document of a pending export, with the writer's progress
// lines (workshop, items, header) when `logProgress` is set.
Json::Value BuildBlueprintDocument(const PendingExport& record, bool logProgress);

}  // namespace quillmere
