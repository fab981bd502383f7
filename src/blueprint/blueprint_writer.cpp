// StoreDataToBlueprint: turns the pending export into one blueprint file in
// the slot folder a script names.
//
// A player's previous blueprint must survive a failed export. So the new file
// is written completely, under its final name, into a staging folder beside
// the slot folder first (creating it there also proves the file system
// accepts the name); only then is the slot folder cleared and the file moved
// in. Any failure before the clearing leaves the slot as it was.
#include "blueprint/blueprint_writer.h"

#include <exception>

#include "blueprint/blueprint_catalogue.h"
#include "blueprint/blueprint_json.h"
#include "blueprint/export_natives.h"
#include "blueprint/remove_directory_tree.h"
#include "blueprint/settings.h"
#include "common/debug_log.h"
#include "common/directory_chain.h"
#include "common/float_text.h"
#include "common/platform_files.h"
#include "forms/place_names.h"

namespace quillmere {
namespace {

constexpr char kStagingSuffix[] = ".saving";

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    return path;
}

// Clearing starts at the slot folder; it must never start at a drive root,
// the game folder itself or its parent.
bool IsClearableFolder(const std::string& folder) {
    if (folder.empty() || platform::IsRootPath(folder)) return false;
    const std::size_t cut = folder.find_last_of("/\\");
    const std::string last = cut == std::string::npos ? folder : folder.substr(cut + 1);
    return last != "." && last != "..";
}

// Game text becomes part of a file name: bytes that Windows refuses in a name
// or that separate paths become "_", so the file stays inside the slot folder.
std::string FileNamePiece(const std::string& text) {
    std::string piece = text;
    for (char& c : piece) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return piece;
}

// Whether a blueprint file is still directly in the folder after clearing
// (entries whose names start with "." are never cleared and not counted).
bool BlueprintLeftIn(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    uint32_t error = 0;
    if (!platform::ListDirectory(folder, entries, error)) return false;
    for (const platform::DirectoryEntry& entry : entries) {
        if (!entry.isDirectory && !entry.name.empty() && entry.name[0] != '.' &&
            IsBlueprintEntry(entry.name)) {
            return true;
        }
    }
    return false;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

float At(const std::vector<float>& list, std::size_t i) {
    return i < list.size() ? list[i] : 0.0f;
}
uint32_t At(const std::vector<uint32_t>& list, std::size_t i) {
    return i < list.size() ? list[i] : 0u;
}
const char* At(const std::vector<BSFixedString>& list, std::size_t i) {
    return i < list.size() ? list[i].c_str() : "";
}
Json::Value Int(uint32_t value) {
    return Json::Value(static_cast<Json::Int>(value));
}
Json::Value Int(int32_t value) {
    return Json::Value(static_cast<Json::Int>(value));
}
Json::Value Real(float value) {
    return Json::Value(static_cast<double>(value));
}

}  // namespace

std::string BlueprintFileName(const std::string& playerName, const std::string& locationShortName,
                              const std::string& exportDate) {
    std::string truncatedDate = exportDate.size() >= 2 ? exportDate.substr(2) : std::string();
    ReplaceAll(truncatedDate, " ", "");
    ReplaceAll(truncatedDate, "-", "");
    ReplaceAll(truncatedDate, ":", "");
    std::string name = "bp_" + FileNamePiece(playerName) + "_" + FileNamePiece(locationShortName) +
                       "_" + truncatedDate + ".json";
    for (char& c : name) c = AsciiLower(c);
    return name;
}

Json::Value BuildBlueprintDocument(const PendingExport& record, bool logProgress) {
    Json::Value root;
    Json::Value& header = root["header"];
    header["export_date"] = record.export_date;
    header["item_count"] = Int(record.item_count);
    header["player_name"] = record.player_name;
    header["plugin_version"] = Real(pluginVersion.load());
    header["settlement_name"] = record.settlement_name;
    header["worldspace_id"] = record.worldspace_id;
    header["worldspace_id_dec"] = Int(record.worldspace_id_dec);
    header["worldspace_name"] = record.worldspace_name;
    header["worldspace_plugin"] = record.worldspace_plugin;

    const PendingWorkshop& w = record.workshop;
    Json::Value& workshop = root["workshop"];
    workshop["id"] = w.id;
    workshop["id_dec"] = Int(w.id_dec);
    workshop["baseid_dec"] = Int(w.baseid_dec);
    workshop["plugin"] = w.plugin;
    workshop["posX"] = Real(w.posX);
    workshop["posY"] = Real(w.posY);
    workshop["posZ"] = Real(w.posZ);
    workshop["rotX"] = Real(w.rotX);
    workshop["rotY"] = Real(w.rotY);
    workshop["rotZ"] = Real(w.rotZ);
    if (logProgress) LogWorkshopLine("StoreDataToBlueprint", w);

    const PendingItems& items = record.items;
    for (std::size_t i = 0; i < items.FormID.size(); ++i) {
        Json::Value& item = root["items"][static_cast<Json::ArrayIndex>(i)];
        const uint32_t formIdDec = At(items.FormID_dec, i);
        item["idx"] = Int(static_cast<uint32_t>(i));
        item["plugin_name"] = At(items.plugin_name, i);
        item["FormID"] = At(items.FormID, i);
        item["FormID_dec"] = Int(formIdDec);
        item["name"] = At(items.name, i);
        const float pos[6] = {At(items.posX, i), At(items.posY, i), At(items.posZ, i),
                              At(items.rotX, i), At(items.rotY, i), At(items.rotZ, i)};
        item["posX"] = Real(pos[0]);
        item["posY"] = Real(pos[1]);
        item["posZ"] = Real(pos[2]);
        item["rotX"] = Real(pos[3]);
        item["rotY"] = Real(pos[4]);
        item["rotZ"] = Real(pos[5]);
        const uint32_t flags[7] = {At(items.isPowered, i),      At(items.isGenerator, i),
                                   At(items.isCreated, i),      At(items.isActor, i),
                                   At(items.isTurret, i),       At(items.isFarmAnimal, i),
                                   At(items.isTamedCreature, i)};
        item["isPowered"] = Int(flags[0]);
        item["isGenerator"] = Int(flags[1]);
        item["isCreated"] = Int(flags[2]);
        item["isActor"] = Int(flags[3]);
        item["isTurret"] = Int(flags[4]);
        item["isFarmAnimal"] = Int(flags[5]);
        item["isTamedCreature"] = Int(flags[6]);
        if (logProgress) {
            const auto number = static_cast<int32_t>(i);
            LogMessage(
                "PapyrusQuillmere::StoreDataToBlueprint #%d item.plugin_name:%s;item.FormID:%s;"
                "item.FormID_dec:%d;item.name:%s;item.posX:%s;item.posY:%s;item.posZ:%s;"
                "item.rotX:%s;item.rotY:%s;item.rotZ:%s",
                number, At(items.plugin_name, i), At(items.FormID, i),
                static_cast<int32_t>(formIdDec), At(items.name, i), FloatText(pos[0]).c_str(),
                FloatText(pos[1]).c_str(), FloatText(pos[2]).c_str(), FloatText(pos[3]).c_str(),
                FloatText(pos[4]).c_str(), FloatText(pos[5]).c_str());
            LogMessage(
                "PapyrusQuillmere::StoreDataToBlueprint #%d item_prop.isPowered:%d;"
                "item_prop.isGenerator:%d;item_prop.isCreated:%d;item_prop.isActor:%d;"
                "item_prop.isTurret:%d;item_prop.isFarmAnimal:%d;item_prop.isTamedCreature:%d",
                number, static_cast<int32_t>(flags[0]), static_cast<int32_t>(flags[1]),
                static_cast<int32_t>(flags[2]), static_cast<int32_t>(flags[3]),
                static_cast<int32_t>(flags[4]), static_cast<int32_t>(flags[5]),
                static_cast<int32_t>(flags[6]));
        }
    }

    for (const BSFixedString& plugin : record.plugins_required) {
        header["plugins_required"].append(plugin.c_str());
    }
    if (logProgress) LogHeaderLine("StoreDataToBlueprint", record);
    return root;
}

bool StoreDataToBlueprint(StaticFunctionTag*, BSFixedString slotFolder) {
    auto access = LockPendingExport();
    const PendingExport& record = access.record;

    const std::string filePathString = slotFolder.c_str();
    const std::string slot = WithoutTrailingSeparators(filePathString);
    if (!IsClearableFolder(slot)) {
        LogError(
            "refusing to store a blueprint in the slot folder \"%s\": not a folder below the game "
            "folder",
            filePathString.c_str());
        return false;
    }

    const std::string fileNameString = BlueprintFileName(
        record.player_name, GetLocationShortName(record.settlement_name), record.export_date);
    const std::string filePathStringFull = filePathString + "/" + fileNameString;
    const std::string staging = slot + kStagingSuffix;
    const std::string stagedFile = staging + "/" + fileNameString;

    // A staging folder left by an interrupted export holds nothing of value.
    RemoveDirectoryTree(staging, true);
    CreateDirectoriesForPath(stagedFile.c_str());
    platform::OutputFile currentFile;
    if (!currentFile.Create(stagedFile)) {
        LogError("failed to create file: %s", filePathStringFull.c_str());
        RemoveDirectoryTree(staging, true);
        return false;
    }

    std::string data;
    try {
        data = SerializeBlueprint(BuildBlueprintDocument(record, ProgressLinesWanted()));
    } catch (const std::exception& e) {
        currentFile.Close();
        RemoveDirectoryTree(staging, true);
        LogError("failed to build the blueprint %s: %s", filePathStringFull.c_str(), e.what());
        return false;
    }

    const bool written = currentFile.WriteAll(data.data(), data.size());
    if (!currentFile.Close() || !written) {
        LogError("failed to write file: %s", filePathStringFull.c_str());
        RemoveDirectoryTree(staging, true);
        return false;
    }

    // The new blueprint is safe on disk. It moves into the slot folder
    // before anything is cleared, under a name that starts with "." (never
    // cleared, never listed as a blueprint): a slot folder the system will
    // not take (a path through a file; Windows drops a trailing space from a
    // folder name) then fails while the old blueprint is still there. A slot
    // reached through a link loses the link, never what it points to.
    // One fixed, short name: a blueprint whose own name is as long as the
    // file system allows still fits, and a file left by an interrupted export
    // is replaced by the next one.
    const std::string movingFile = slot + "/.blueprint" + kStagingSuffix;
    // A link the system will not let go fails the store here, before
    // anything is written through it.
    if (platform::IsLink(slot) &&
        (RemoveDirectoryTree(slot, true) != 0 || platform::IsLink(slot))) {
        LogError("failed to clear the slot folder: %s", slot.c_str());
        RemoveDirectoryTree(staging, true);
        return false;
    }
    CreateDirectoriesForPath(movingFile.c_str());
    if (!platform::MoveFileReplacing(stagedFile, movingFile)) {
        LogError("failed to move file: %s to %s", stagedFile.c_str(), filePathStringFull.c_str());
        RemoveDirectoryTree(staging, true);
        return false;
    }
    RemoveDirectoryTree(staging, true);

    // Now the slot may be cleared. A blueprint that stays (Windows keeps a
    // file another program holds open) would leave the slot with two, and
    // the list might show the old one: keep the slot as it is and report the
    // failure instead.
    RemoveDirectoryTree(slot, true);
    if (BlueprintLeftIn(slot)) {
        LogError("failed to clear the slot folder: %s", slot.c_str());
        platform::DeleteOneFile(movingFile);
        return false;
    }
    if (!platform::MoveFileReplacing(movingFile, filePathStringFull)) {
        LogError("failed to move file: %s to %s", movingFile.c_str(), filePathStringFull.c_str());
        return false;
    }
    return true;
}

}  // namespace quillmere
