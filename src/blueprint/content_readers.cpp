#include "blueprint/content_readers.h"

#include "blueprint/blueprint_loader.h"
#include "blueprint/last_parsed_blueprint.h"
#include "blueprint/member_picker.h"
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
    const bool read = ReadBlueprint(path.c_str(), [&](const Json::Value& root) {
        const Json::Value& items = root["items"];
        if (!SectionPresent(items)) {
            LogError("no items in blueprint: %s", path.c_str());
            return false;
        }
        const Json::ArrayIndex count = items.size();
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            Struct element;
            convert(items[i], element, i);
            // A struct the machine cannot make (a declined creation, a
            // script type of another shape) stays a None element: the array
            // keeps one element per item, so the two item arrays stay
            // parallel.
            result.Append(element, true);
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
    const bool read = ReadBlueprint(path.c_str(), [&](const Json::Value& root) {
        const Json::Value& w = root["workshop"];
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
    static const MemberPicker<10> members({"plugin_name", "FormID", "FormID_dec", "name", "posX",
                                           "posY", "posZ", "rotX", "rotY", "rotZ"});
    return ReadItems<SettlementItem>(path, [](const Json::Value& item, SettlementItem& s,
                                              Json::ArrayIndex i) {
        const auto m = members.Pick(item);
        s.Set<0>(TextValue(*m[0]), true);
        s.Set<1>(TextValue(*m[1]), true);
        s.Set<2>(IntValue(*m[2]), true);
        s.Set<3>(TextValue(*m[3]), true);
        s.Set<4>(FloatValue(*m[4]), true);
        s.Set<5>(FloatValue(*m[5]), true);
        s.Set<6>(FloatValue(*m[6]), true);
        s.Set<7>(FloatValue(*m[7]), true);
        s.Set<8>(FloatValue(*m[8]), true);
        s.Set<9>(FloatValue(*m[9]), true);
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
    static const MemberPicker<7> members({"isPowered", "isGenerator", "isCreated", "isActor",
                                          "isTurret", "isFarmAnimal", "isTamedCreature"});
    VMArray<ExtraProperties> result = ReadItems<ExtraProperties>(
        path, [](const Json::Value& item, ExtraProperties& p, Json::ArrayIndex i) {
            const auto m = members.Pick(item);
            p.Set<0>(IntValue(*m[0]), true);
            p.Set<1>(IntValue(*m[1]), true);
            p.Set<2>(IntValue(*m[2]), true);
            p.Set<3>(IntValue(*m[3]), true);
            p.Set<4>(IntValue(*m[4]), true);
            p.Set<5>(IntValue(*m[5]), true);
            p.Set<6>(IntValue(*m[6]), true);
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
    // The last of the readers a script calls for one blueprint: the kept
    // parse has served its import, and a large one should not stay in the
    // game's memory until the next import.
    ForgetParsedBlueprint();
    return result;
}

}  // namespace quillmere
