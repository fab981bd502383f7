#include "blueprint/header_readers.h"

#include <string>

#include "blueprint/blueprint_loader.h"
#include "blueprint/settings.h"
#include "common/debug_log.h"
#include "common/float_text.h"

namespace quillmere {
namespace {

// Every header reader starts here: the section must be there before anything
// is read from it.
const Json::Value* HeaderSection(const Json::Value& root, const char* path) {
    const Json::Value& header = root["header"];
    if (!SectionPresent(header)) {
        LogError("no header in blueprint: %s", path);
        return nullptr;
    }
    return &header;
}

void LogHeader(const BlueprintHeader& h) {
    LogMessage(
        "PapyrusQuillmere::GetBlueprintHeader header.export_date:%s;header.item_count:%d;"
        "header.player_name:%s;header.plugin_version:%s;header.settlement_name:%s;"
        "header.worldspace_id:%s;header.worldspace_id_dec:%d;header.worldspace_name:%s;"
        "header.worldspace_plugin:%s",
        h.Get<0>().c_str(), static_cast<int32_t>(h.Get<1>()), h.Get<2>().c_str(),
        FloatText(h.Get<3>()).c_str(), h.Get<4>().c_str(), h.Get<5>().c_str(),
        static_cast<int32_t>(h.Get<6>()), h.Get<7>().c_str(), h.Get<8>().c_str());
}

}  // namespace

BlueprintHeader GetBlueprintHeader(StaticFunctionTag*, BSFixedString path) {
    BlueprintHeader result;
    const bool read = ReadBlueprint(path.c_str(), [&](const Json::Value& root) {
        const Json::Value* header = HeaderSection(root, path.c_str());
        if (header == nullptr) return false;
        const Json::Value& h = *header;
        result.Set<0>(TextValue(h["export_date"]), true);
        result.Set<1>(IntValue(h["item_count"]), true);
        result.Set<2>(TextValue(h["player_name"]), true);
        result.Set<3>(FloatValue(h["plugin_version"]), true);
        result.Set<4>(TextValue(h["settlement_name"]), true);
        result.Set<5>(TextValue(h["worldspace_id"]), true);
        result.Set<6>(IntValue(h["worldspace_id_dec"]), true);
        result.Set<7>(TextValue(h["worldspace_name"]), true);
        result.Set<8>(TextValue(h["worldspace_plugin"]), true);
        return true;
    });
    if (!read) {
        result.SetNone(true);
        return result;
    }
    if (ProgressLinesWanted()) LogHeader(result);
    return result;
}

VMArray<BSFixedString> GetPluginsRequired(StaticFunctionTag*, BSFixedString path) {
    VMArray<BSFixedString> result;
    std::string listed;
    const bool read = ReadBlueprint(path.c_str(), [&](const Json::Value& root) {
        const Json::Value* header = HeaderSection(root, path.c_str());
        if (header == nullptr) return false;
        const Json::Value& plugins = (*header)["plugins_required"];
        const Json::ArrayIndex count = plugins.size();
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            const BSFixedString plugin = TextValue(plugins[i]);
            result.Append(plugin, true);
            if (i > 0) listed += ';';
            listed += plugin.c_str();
        }
        return true;
    });
    if (!read) {
        result = VMArray<BSFixedString>();
        result.MarkNone(true);
        return result;
    }
    // An empty list is a real result, though scripts receive it as None like
    // every array without elements. The log line keeps the name it has
    // always had in the log.
    if (ProgressLinesWanted()) {
        LogMessage("PapyrusQuillmere::GetPluiginsRequired header.plugins_required:[%s]",
                   listed.c_str());
    }
    return result;
}

}  // namespace quillmere
