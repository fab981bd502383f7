#include "blueprint/content_readers.h"

#include "blueprint/blueprint_loader.h"
#include "blueprint/settings.h"
#include "common/debug_log.h"
#include "common/float_text.h"

namespace quillmere {
namespace {

// Reads every element of items into `result` with `convert`, a callable
// that fills one struct from one element and logs it. Results are never
// partial: on any failure the array is None.
template <typename Struct, typename Convert>
VMArray<Struct> ReadItems(const BSFixedString& path, Convert&& convert) {
    VMArray<Struct> result;
    const bool read = ReadBlueprint(path.c_str(), [&](Json::Value& root) {
        Json::Value& items = root["items"];
        if (!SectionPresent(items)) {
            LogError("no items in blueprint: %s", path.c_str());
            return false;
        }
        const Json::ArrayIndex count = items.size();
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            Struct element;
            convert(items[i], element, i);
            result.Append(element, true);
            // A struct the host declined to make would leave a hole where
            // an item belongs; scripts get no items rather than some.
            if (!result.HoldsObjectAt(result.Count() - 1)) return false;
        }
        return true;
    });
    if (!read) {
        result = VMArray<Struct>();
        result.MarkNone(true);
    }
    return result;
}

}  // namespace

WorkshopData GetWorkshopData(StaticFunctionTag*, BSFixedString path) {
    WorkshopData result;
    const bool read = ReadBlueprint(path.c_str(), [&](Json::Value& root) {
        Json::Value& w = root["workshop"];
        if (!SectionPresent(w)) {
            LogError("no workshop data in blueprint: %s", path.c_str());
            return false;
        }
        result.Set<0>(TextValue(w["id"]), true);
        result.Set<1>(IntValue(w["id_dec"]), true);
        result.Set<2>(IntValue(w["baseid_dec"]), true);
        result.Set<3>(TextValue(w["plugin"]), true);
        result.Set<4>(FloatValue(w["posX"]), true);
        result.Set<5>(FloatValue(w["posY"]), true);
        result.Set<6>(FloatValue(w["posZ"]), true);
        result.Set<7>(FloatValue(w["rotX"]), true);
        result.Set<8>(FloatValue(w["rotY"]), true);
        result.Set<9>(FloatValue(w["rotZ"]), true);
        return true;
    });
    if (!read) {
        result.SetNone(true);
        return result;
    }
    if (ProgressLinesWanted()) {
        LogMessage(
            "PapyrusQuillmere::GetWorkshopData workshopdata.workshop_id:%s;"
            "workshopdata.workshop_id_dec:%d;workshopdata.workshop_baseid_dec:%d;"
            "workshopdata.workshop_plugin:%s;workshopdata.posX:%s;workshopdata.posY:%s;"
            "workshopdata.posZ:%s;workshopdata.rotX:%s;workshopdata.rotY:%s;workshopdata.rotZ:%s",
            result.Get<0>().c_str(), static_cast<int32_t>(result.Get<1>()),
            static_cast<int32_t>(result.Get<2>()), result.Get<3>().c_str(),
            FloatText(result.Get<4>()).c_str(), FloatText(result.Get<5>()).c_str(),
            FloatText(result.Get<6>()).c_str(), FloatText(result.Get<7>()).c_str(),
            FloatText(result.Get<8>()).c_str(), FloatText(result.Get<9>()).c_str());
    }
    return result;
}

VMArray<SettlementItem> GetItemsFromBlueprint(StaticFunctionTag*, BSFixedString path) {
    return ReadItems<SettlementItem>(path, [](Json::Value& item, SettlementItem& s,
                                              Json::ArrayIndex i) {
        s.Set<0>(TextValue(item["plugin_name"]), true);
        s.Set<1>(TextValue(item["FormID"]), true);
        s.Set<2>(IntValue(item["FormID_dec"]), true);
        s.Set<3>(TextValue(item["name"]), true);
        s.Set<4>(FloatValue(item["posX"]), true);
        s.Set<5>(FloatValue(item["posY"]), true);
        s.Set<6>(FloatValue(item["posZ"]), true);
        s.Set<7>(FloatValue(item["rotX"]), true);
        s.Set<8>(FloatValue(item["rotY"]), true);
        s.Set<9>(FloatValue(item["rotZ"]), true);
        if (ProgressLinesWanted()) {
            LogMessage(
                "PapyrusQuillmere::GetItemsFromBlueprint #%d item.plugin_name:%s;item.FormID:%s;"
                "item.FormID_dec:%d;item.name:%s;item.posX:%s;item.posY:%s;item.posZ:%s;"
                "item.rotX:%s;item.rotY:%s;item.rotZ:%s",
                static_cast<int32_t>(i), s.Get<0>().c_str(), s.Get<1>().c_str(),
                static_cast<int32_t>(s.Get<2>()), s.Get<3>().c_str(), FloatText(s.Get<4>()).c_str(),
                FloatText(s.Get<5>()).c_str(), FloatText(s.Get<6>()).c_str(),
                FloatText(s.Get<7>()).c_str(), FloatText(s.Get<8>()).c_str(),
                FloatText(s.Get<9>()).c_str());
        }
    });
}

VMArray<ExtraProperties> GetExtraPropsFromBlueprint(StaticFunctionTag*, BSFixedString path) {
    return ReadItems<ExtraProperties>(
        path, [](Json::Value& item, ExtraProperties& p, Json::ArrayIndex i) {
            p.Set<0>(IntValue(item["isPowered"]), true);
            p.Set<1>(IntValue(item["isGenerator"]), true);
            p.Set<2>(IntValue(item["isCreated"]), true);
            p.Set<3>(IntValue(item["isActor"]), true);
            p.Set<4>(IntValue(item["isTurret"]), true);
            p.Set<5>(IntValue(item["isFarmAnimal"]), true);
            p.Set<6>(IntValue(item["isTamedCreature"]), true);
            if (ProgressLinesWanted()) {
                LogMessage(
                    "PapyrusQuillmere::GetExtraPropsFromBlueprint #%d item_prop.isPowered:%d;"
                    "item_prop.isGenerator:%d;item_prop.isCreated:%d;item_prop.isActor:%d;"
                    "item_prop.isTurret:%d;item_prop.isFarmAnimal:%d;item_prop.isTamedCreature:%d",
                    static_cast<int32_t>(i), static_cast<int32_t>(p.Get<0>()),
                    static_cast<int32_t>(p.Get<1>()), static_cast<int32_t>(p.Get<2>()),
                    static_cast<int32_t>(p.Get<3>()), static_cast<int32_t>(p.Get<4>()),
                    static_cast<int32_t>(p.Get<5>()), static_cast<int32_t>(p.Get<6>()));
            }
        });
}

}  // namespace quillmere
