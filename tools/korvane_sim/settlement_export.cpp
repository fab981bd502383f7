#include "settlement_export.h"

#include <algorithm>
#include <set>

namespace korvane_tool {

namespace {

using korvane::Form;
using korvane::ObjectReference;
using korvane::ScriptValue;

// Form ids for what a scenario does not number itself (the player, the
// location, the items' placed references): ids in the range the game gives
// references it creates at run time, skipping every id the scenario uses.
class SpareFormIds {
  public:
    explicit SpareFormIds(const Scenario& s) {
        used_ = {s.workshopRef, s.workshopBase};
        if (s.worldspace) used_.insert(*s.worldspace);
        for (const ScenarioItem& item : s.items) used_.insert(item.form);
    }
    uint32_t Next() {
        while (used_.count(next_)) ++next_;
        return next_++;
    }

  private:
    std::set<uint32_t> used_;
    uint32_t next_ = 0xFF000800;
};

bool IsTrue(const ScriptValue& v) {
    return v.type == korvane::ScriptType::Bool && v.i != 0;
}

template <typename T, typename Get>
std::vector<T> Column(const std::vector<ScenarioItem>& items, std::size_t begin, std::size_t end,
                      Get get) {
    std::vector<T> column;
    for (std::size_t k = begin; k < end; ++k) column.push_back(get(items[k]));
    return column;
}

}  // namespace

std::string SlotFolder(int slot) {
    return kBlueprintsFolder + std::to_string(slot);
}

ExportOutcome ExportSettlement(GameSession& game, const Scenario& s) {
    korvane::Host& host = game.Host();
    host.SetLoadOrder(s.loadOrder);
    SpareFormIds spare(s);

    ObjectReference* player = host.AddReference(spare.Next(), s.player);
    Form* worldspace =
        s.worldspace ? host.AddForm(*s.worldspace, korvane::FormType::Worldspace) : nullptr;
    Form* location = host.AddLocation(spare.Next(), s.location);
    std::vector<Form*> forms;
    for (const ScenarioItem& item : s.items) forms.push_back(host.AddForm(item.form));
    Form* workshopBase = host.AddForm(s.workshopBase);
    std::vector<ObjectReference*> references;
    for (const ScenarioItem& item : s.items)
        references.push_back(host.AddReference(spare.Next(), item.refName));
    // Last, so that it is a reference even if the scenario uses its id for
    // another form as well.
    ObjectReference* workshop = host.AddReference(s.workshopRef, std::nullopt);

    game.Call("Init", {ScriptValue::Reference(player), ScriptValue::Float(s.pluginVersion),
                       ScriptValue::Int(s.debugLevel)});
    game.Call("SaveHeader", {ScriptValue::Int(static_cast<int32_t>(s.items.size())),
                             ScriptValue::FormValue(worldspace), ScriptValue::FormValue(location)});
    const Vector3 &pos = s.workshopPos, &rot = s.workshopRot;
    game.Call("SaveWorkshopData",
              {ScriptValue::Reference(workshop), ScriptValue::FormValue(workshopBase),
               ScriptValue::Float(pos.x), ScriptValue::Float(pos.y), ScriptValue::Float(pos.z),
               ScriptValue::Float(rot.x), ScriptValue::Float(rot.y), ScriptValue::Float(rot.z)});

    for (std::size_t begin = 0; begin < s.items.size(); begin += s.batchSize) {
        const std::size_t end = std::min<std::size_t>(s.items.size(), begin + s.batchSize);
        auto floats = [&](auto get) {
            return ScriptValue::FloatArray(Column<float>(s.items, begin, end, get));
        };
        game.Call(
            "Save128Items",
            {ScriptValue::FormArray({forms.begin() + static_cast<std::ptrdiff_t>(begin),
                                     forms.begin() + static_cast<std::ptrdiff_t>(end)}),
             ScriptValue::ReferenceArray({references.begin() + static_cast<std::ptrdiff_t>(begin),
                                          references.begin() + static_cast<std::ptrdiff_t>(end)}),
             floats([](const ScenarioItem& i) { return i.pos.x; }),
             floats([](const ScenarioItem& i) { return i.pos.y; }),
             floats([](const ScenarioItem& i) { return i.pos.z; }),
             floats([](const ScenarioItem& i) { return i.rot.x; }),
             floats([](const ScenarioItem& i) { return i.rot.y; }),
             floats([](const ScenarioItem& i) { return i.rot.z; })});
        std::vector<ScriptValue> flags;
        for (std::size_t f = 0; f < kFlagNames.size(); ++f) {
            flags.push_back(ScriptValue::IntArray(Column<int32_t>(
                s.items, begin, end, [f](const ScenarioItem& i) { return i.flags[f]; })));
        }
        game.Call("Save128ExtraProps", flags);
    }

    ExportOutcome outcome;
    outcome.slotFolder = SlotFolder(s.slot);
    outcome.stored =
        IsTrue(game.Call("StoreDataToBlueprint", {ScriptValue::String(outcome.slotFolder)}));
    if (!outcome.stored) return outcome;  // the slot may still hold an older blueprint
    const ScriptValue slots = game.Call("LoadBlueprintList", {ScriptValue::String("")});
    const std::size_t index = static_cast<std::size_t>(s.slot - 1);
    if (index < slots.elements.size()) {
        const std::string& entry = slots.elements[index].s;
        if (entry != "none" && entry != "empty")
            outcome.blueprint = outcome.slotFolder + "/" + entry;
    }
    return outcome;
}

}  // namespace korvane_tool
