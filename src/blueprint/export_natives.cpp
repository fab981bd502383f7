// The five natives through which scripts hand a settlement over, piece by
// piece: Init, SaveHeader, SaveWorkshopData, Save128Items, Save128ExtraProps.
// None of them fails towards the script; a piece a script could not supply
// (a None form, a shorter array) keeps the record's defaults instead.
#include "blueprint/export_natives.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "blueprint/settings.h"
#include "common/debug_log.h"
#include "common/float_text.h"
#include "common/platform_files.h"
#include "forms/place_names.h"

namespace quillmere {
namespace {

std::string JoinPlugins(const std::vector<BSFixedString>& plugins) {
    std::string text = "[";
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        if (i > 0) text += ";";
        text += plugins[i].c_str();
    }
    return text + "]";
}

// The version as an integer for the Init line, truncated toward zero; values
// no int can hold are clamped rather than left undefined.
int32_t TruncatedVersion(float version) {
    if (std::isnan(version)) return 0;
    if (version >= 2147483647.0f) return INT32_MAX;
    if (version <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(version);
}

template <typename T>
T ElementOr(const VMArray<T>& array, uint32_t index, T fallback) {
    T value = fallback;
    array.ReadAt(value, index);
    return value;
}

bool ContainsEntry(const std::vector<BSFixedString>& list, const BSFixedString& name) {
    for (const BSFixedString& entry : list) {
        if (entry.SameEntry(name)) return true;
    }
    return false;
}

}  // namespace

void LogHeaderLine(const char* native, const PendingExport& record) {
    LogMessage(
        "PapyrusQuillmere::%s header.export_date:%s;header.item_count:%d;header.player_name:%s;"
        "header.plugin_version:%s;header.plugins_required:%s;header.settlement_name:%s;"
        "header.worldspace_id:%s;header.worldspace_id_dec:%d;header.worldspace_name:%s;"
        "header.worldspace_plugin:%s",
        native, record.export_date.c_str(), static_cast<int32_t>(record.item_count),
        record.player_name.c_str(), FloatText(pluginVersion.load()).c_str(),
        JoinPlugins(record.plugins_required).c_str(), record.settlement_name.c_str(),
        record.worldspace_id.c_str(), record.worldspace_id_dec, record.worldspace_name.c_str(),
        record.worldspace_plugin.c_str());
}

void LogWorkshopLine(const char* native, const PendingWorkshop& w) {
    LogMessage(
        "PapyrusQuillmere::%s workshopdata.workshop_id:%s;workshopdata.workshop_id_dec:%d;"
        "workshopdata.workshop_baseid_dec:%d;workshopdata.workshop_plugin:%s;"
        "workshopdata.posX:%s;workshopdata.posY:%s;workshopdata.posZ:%s;workshopdata.rotX:%s;"
        "workshopdata.rotY:%s;workshopdata.rotZ:%s",
        native, w.id.c_str(), w.id_dec, w.baseid_dec, w.plugin.c_str(), FloatText(w.posX).c_str(),
        FloatText(w.posY).c_str(), FloatText(w.posZ).c_str(), FloatText(w.rotX).c_str(),
        FloatText(w.rotY).c_str(), FloatText(w.rotZ).c_str());
}

bool Init(StaticFunctionTag*, TESObjectREFR* player, float version, uint32_t level) {
    auto access = LockPendingExport();
    PendingExport& record = access.record;
    record.Reset();
    if (player != nullptr) {
        if (const char* name = host::ReferenceDisplayName(player)) record.player_name = name;
    }
    pluginVersion.store(version);
    debugLevel.store(static_cast<int32_t>(level));
    if (ProgressLinesWanted()) {
        LogMessage("PapyrusQuillmere::Init DebugLevel:%d;PlayerName:%s;pluginVersion:%d",
                   debugLevel.load(), record.player_name.c_str(), TruncatedVersion(version));
    }
    return true;
}

bool SaveHeader(StaticFunctionTag*, uint32_t itemCount, TESForm* worldspace, TESForm* location) {
    auto access = LockPendingExport();
    PendingExport& record = access.record;

    char date[80];
    const std::tm now = platform::LocalTimeNow();
    if (std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &now) == 0) date[0] = '\0';
    record.export_date = date;
    std::printf("%s\n", date);
    std::fflush(stdout);

    record.item_count = itemCount;
    if (location != nullptr) {
        if (StringCacheEntry* name = host::LocationFullName(location)) {
            record.settlement_name = host::StringText(name);
        }
    }
    if (worldspace != nullptr) {
        const uint32_t formId = host::FormId(worldspace);
        record.worldspace_id_dec = static_cast<int32_t>(LocalId(formId));
        record.worldspace_id = LocalIdText(formId);
        record.worldspace_plugin = PluginOfForm(worldspace, record.worldspace_plugin);
        const WorldspaceNaming naming =
            NameWorldspace(record.worldspace_plugin, record.worldspace_id, record.worldspace_name);
        record.worldspace_name = naming.name;
        if (!naming.requiredPlugin.empty()) {
            record.plugins_required.emplace_back(std::string(naming.requiredPlugin));
        }
    }
    if (ProgressLinesWanted()) LogHeaderLine("SaveHeader", record);
    return true;
}

bool SaveWorkshopData(StaticFunctionTag*, TESObjectREFR* workshop, TESForm* base, float posX,
                      float posY, float posZ, float rotX, float rotY, float rotZ) {
    auto access = LockPendingExport();
    PendingExport& record = access.record;
    PendingWorkshop& w = record.workshop;
    if (workshop != nullptr) {
        const uint32_t formId = host::FormId(workshop);
        w.id_dec = static_cast<int32_t>(LocalId(formId));
        w.id = LocalIdText(formId);
    }
    if (base != nullptr) w.baseid_dec = static_cast<int32_t>(LocalId(host::FormId(base)));
    w.posX = posX;
    w.posY = posY;
    w.posZ = posZ;
    w.rotX = rotX;
    w.rotY = rotY;
    w.rotZ = rotZ;
    w.plugin = PluginOfForm(workshop, w.plugin);
    if (w.plugin != kBaseMaster && w.plugin != record.worldspace_plugin) {
        record.plugins_required.emplace_back(w.plugin);
    }
    if (ProgressLinesWanted()) LogWorkshopLine("SaveWorkshopData", w);
    return true;
}

bool Save128Items(StaticFunctionTag*, VMArray<TESForm*> forms, VMArray<TESObjectREFR*> refs,
                  VMArray<float> posX, VMArray<float> posY, VMArray<float> posZ,
                  VMArray<float> rotX, VMArray<float> rotY, VMArray<float> rotZ) {
    auto access = LockPendingExport();
    PendingExport& record = access.record;
    PendingItems& items = record.items;
    std::vector<BSFixedString> batchPlugins;
    const bool logItems = ProgressLinesWanted();

    // One entry per element of the forms array in every list, whatever the
    // other arrays hold, so the lists stay parallel.
    for (uint32_t i = 0; i < forms.Count(); ++i) {
        TESForm* baseForm = ElementOr<TESForm*>(forms, i, nullptr);
        BSFixedString pluginRequired(PluginOfForm(baseForm, kBaseMaster));
        const uint32_t formId = baseForm != nullptr ? host::FormId(baseForm) : 0;
        const std::string formIdText = LocalIdText(formId);

        std::string refName = "unknown item";
        if (TESObjectREFR* ref = ElementOr<TESObjectREFR*>(refs, i, nullptr)) {
            if (const char* name = host::ReferenceDisplayName(ref)) refName = name;
        }
        const float px = ElementOr(posX, i, 0.0f), py = ElementOr(posY, i, 0.0f),
                    pz = ElementOr(posZ, i, 0.0f), rx = ElementOr(rotX, i, 0.0f),
                    ry = ElementOr(rotY, i, 0.0f), rz = ElementOr(rotZ, i, 0.0f);

        items.plugin_name.push_back(pluginRequired);
        batchPlugins.push_back(pluginRequired);
        items.FormID.emplace_back(formIdText);
        items.FormID_dec.push_back(formId);
        items.name.emplace_back(refName);
        items.posX.push_back(px);
        items.posY.push_back(py);
        items.posZ.push_back(pz);
        items.rotX.push_back(rx);
        items.rotY.push_back(ry);
        items.rotZ.push_back(rz);

        if (logItems) {
            LogMessage(
                "PapyrusQuillmere::Save128Items #%d item.plugin_name:%s;item.FormID:%s;"
                "item.FormID_dec:%d;item.name:%s;item.posX:%s;item.posY:%s;item.posZ:%s;"
                "item.rotX:%s;item.rotY:%s;item.rotZ:%s",
                static_cast<int32_t>(i), pluginRequired.c_str(), formIdText.c_str(),
                static_cast<int32_t>(formId), refName.c_str(), FloatText(px).c_str(),
                FloatText(py).c_str(), FloatText(pz).c_str(), FloatText(rx).c_str(),
                FloatText(ry).c_str(), FloatText(rz).c_str());
        }
    }

    // Each plugin once, in the order an item first used it; the host's
    // string cache decides which names are the same.
    for (const BSFixedString& plugin : batchPlugins) {
        if (!ContainsEntry(record.plugins_required, plugin)) {
            record.plugins_required.push_back(plugin);
        }
    }
    return true;
}

bool Save128ExtraProps(StaticFunctionTag*, VMArray<uint32_t> isPowered,
                       VMArray<uint32_t> isGenerator, VMArray<uint32_t> isCreated,
                       VMArray<uint32_t> isActor, VMArray<uint32_t> isTurret,
                       VMArray<uint32_t> isFarmAnimal, VMArray<uint32_t> isTamedCreature) {
    auto access = LockPendingExport();
    PendingItems& items = access.record.items;
    const bool logItems = ProgressLinesWanted();
    // One entry per element of the first array in all seven lists; a shorter
    // array gives 0 for its missing elements.
    for (uint32_t i = 0; i < isPowered.Count(); ++i) {
        const uint32_t values[7] = {
            ElementOr(isPowered, i, 0u),      ElementOr(isGenerator, i, 0u),
            ElementOr(isCreated, i, 0u),      ElementOr(isActor, i, 0u),
            ElementOr(isTurret, i, 0u),       ElementOr(isFarmAnimal, i, 0u),
            ElementOr(isTamedCreature, i, 0u)};
        items.isPowered.push_back(values[0]);
        items.isGenerator.push_back(values[1]);
        items.isCreated.push_back(values[2]);
        items.isActor.push_back(values[3]);
        items.isTurret.push_back(values[4]);
        items.isFarmAnimal.push_back(values[5]);
        items.isTamedCreature.push_back(values[6]);
        if (logItems) {
            LogMessage(
                "PapyrusQuillmere::Save128ExtraProps #%d item_prop.isPowered:%d;"
                "item_prop.isGenerator:%d;item_prop.isCreated:%d;item_prop.isActor:%d;"
                "item_prop.isTurret:%d;item_prop.isFarmAnimal:%d;item_prop.isTamedCreature:%d",
                static_cast<int32_t>(i), static_cast<int32_t>(values[0]),
                static_cast<int32_t>(values[1]), static_cast<int32_t>(values[2]),
                static_cast<int32_t>(values[3]), static_cast<int32_t>(values[4]),
                static_cast<int32_t>(values[5]), static_cast<int32_t>(values[6]));
        }
    }
    return true;
}

}  // namespace quillmere
