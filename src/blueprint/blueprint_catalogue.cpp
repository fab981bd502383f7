#include "blueprint/blueprint_catalogue.h"

#include <string>

#include "blueprint/settings.h"
#include "common/debug_log.h"
#include "common/platform_dirstream.h"

namespace quillmere {
namespace {

constexpr char kPluginDataDir[] = "Data/Plexor/Plugins/Quillmere/";
constexpr char kEmptySlot[] = "empty";
constexpr char kMissingSlot[] = "none";

// The first blueprint entry of one slot folder, in the order the system
// lists it; nothing sorts entries, so with several blueprints in one folder
// the file system decides which one is seen.
BSFixedString SlotEntry(uint32_t slot) {
    platform::DirectoryHandle folder(platform::OpenDirectory(BlueprintSlotDir(slot).c_str()));
    if (!folder) return BSFixedString(kMissingSlot);
    while (const char* name = platform::ReadDirectory(folder.get())) {
        BSFixedString file(name);
        if (IsBlueprintEntry(file.view())) return file;
    }
    return BSFixedString(kEmptySlot);
}

}  // namespace

std::string BlueprintsDir() {
    return std::string(kPluginDataDir) + "blueprints/";
}

std::string BlueprintSlotDir(uint32_t slot) {
    return BlueprintsDir() + std::to_string(slot);
}

std::string_view FileExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

bool IsBlueprintEntry(std::string_view name) {
    return FileExtension(name) == "json";
}

VMArray<BSFixedString> LoadBlueprintList(StaticFunctionTag*, BSFixedString) {
    VMArray<BSFixedString> result;
    const std::string blueprintsDir = BlueprintsDir();
    // The blueprints folder is opened only to learn that it can be read.
    if (!platform::DirectoryHandle(platform::OpenDirectory(blueprintsDir.c_str()))) {
        LogError("could not open directory: %s", blueprintsDir.c_str());
        result.MarkNone(true);
        return result;
    }

    for (uint32_t slot = 1; slot <= kBlueprintSlotCount; ++slot) {
        result.Append(SlotEntry(slot), true);
    }
    if (ProgressLinesWanted()) {
        for (uint32_t j = 0; j < result.Count(); ++j) {
            BSFixedString entry;
            result.ReadAt(entry, j);
            LogMessage("PapyrusQuillmere::LoadBlueprintList #%d blueprint_file:%s",
                       static_cast<int>(j), entry.c_str());
        }
    }
    return result;
}

}  // namespace quillmere
