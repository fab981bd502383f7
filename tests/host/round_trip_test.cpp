// A settlement exported through the natives comes back through the readers
// exactly as the scripts passed it.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using korvane::ScriptType;

uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

struct Item {
    uint32_t formId;
    std::string plugin;
    std::string name;  // empty: no display name
    float pos[6];
    int32_t flags[7];
};

class RoundTripTest : public PluginTest {};

TEST_F(RoundTripTest, ThreeHundredItemsInThreeBatchesComeBackAsExported) {
    const std::vector<std::string> loadOrder = {"Korvane.esm", "DLCRobot.esm", "DLCworkshop01.esm",
                                                "Homestead \xC9"
                                                "dition.esp",
                                                "DLCCoast.esm"};
    host.SetLoadOrder(loadOrder);
    std::mt19937 random(20171022);
    std::uniform_real_distribution<float> coordinate(-60000.0f, 60000.0f);

    std::vector<Item> items;
    for (uint32_t i = 0; i < 300; ++i) {
        Item item;
        const uint32_t index = i % 7 == 0 ? 2 : (i % 11 == 0 ? 3 : 0);
        item.formId = (index << 24) | (0x1000 + i * 37);
        item.plugin = loadOrder[index];
        item.name = i % 13 == 0 ? std::string() : "Item \"" + std::to_string(i) + "\"\t\xE9\\";
        for (float& p : item.pos) p = coordinate(random);
        item.pos[3] = 0.1f;
        for (int k = 0; k < 7; ++k) item.flags[k] = static_cast<int32_t>((i + k) % 3) - (k == 6);
        items.push_back(item);
    }

    Call("Init", {ScriptValue::Reference(host.AddReference(0x14, "Mira \xC9")),
                  ScriptValue::Float(1.25f), ScriptValue::Int(0)});
    Call("SaveHeader", {ScriptValue::Int(300), ScriptValue::FormValue(host.AddForm(0x04004EA4)),
                        ScriptValue::FormValue(host.AddLocation(0x1F000, "Croup Manor"))});
    Call("SaveWorkshopData",
         {ScriptValue::Reference(host.AddReference(0x030249E3, std::nullopt)),
          ScriptValue::FormValue(host.AddForm(0x0001F4A2)), ScriptValue::Float(-80.5f),
          ScriptValue::Float(1024.5f), ScriptValue::Float(16.5f), ScriptValue::Float(-0.0f),
          ScriptValue::Float(1e-30f), ScriptValue::Float(179.9f)});
    for (std::size_t start = 0; start < items.size(); start += 100) {
        std::vector<korvane::Form*> forms;
        std::vector<korvane::ObjectReference*> refs;
        std::vector<std::vector<float>> pos(6);
        std::vector<std::vector<int32_t>> flags(7);
        for (std::size_t i = start; i < start + 100; ++i) {
            forms.push_back(host.AddForm(items[i].formId));
            refs.push_back(host.AddReference(
                0xFF000000u + static_cast<uint32_t>(i),
                items[i].name.empty() ? std::nullopt : std::optional<std::string>(items[i].name)));
            for (int k = 0; k < 6; ++k) pos[k].push_back(items[i].pos[k]);
            for (int k = 0; k < 7; ++k) flags[k].push_back(items[i].flags[k]);
        }
        std::vector<ScriptValue> args = {ScriptValue::FormArray(forms),
                                         ScriptValue::ReferenceArray(refs)};
        for (auto& p : pos) args.push_back(ScriptValue::FloatArray(p));
        Call("Save128Items", args);
        std::vector<ScriptValue> flagArgs;
        for (auto& f : flags) flagArgs.push_back(ScriptValue::IntArray(f));
        Call("Save128ExtraProps", flagArgs);
    }
    const std::string slot = "Data/Plexor/Plugins/Quillmere/blueprints/7";
    ASSERT_EQ(Call("StoreDataToBlueprint", {ScriptValue::String(slot)}).i, 1);

    const ScriptValue list = Call("LoadBlueprintList", {ScriptValue::String("")});
    ASSERT_EQ(list.elements.size(), 10u);
    const std::string path = slot + "/" + list.elements[6].s;
    const ScriptValue file = ScriptValue::String(path);

    const ScriptValue header = Call("GetBlueprintHeader", {file});
    ASSERT_EQ(header.elements.size(), 9u) << Describe(header);
    EXPECT_EQ(header.elements[0].s.size(), 19u);  // export_date
    EXPECT_EQ(header.elements[1].i, 300);
    EXPECT_EQ(header.elements[2].s, "Mira \xC9");
    EXPECT_EQ(Bits(header.elements[3].f), Bits(1.25f));
    EXPECT_EQ(header.elements[4].s, "Croup Manor");
    EXPECT_EQ(header.elements[5].s, "004EA4");
    EXPECT_EQ(header.elements[6].i, 0x4EA4);
    EXPECT_EQ(header.elements[7].s, "Simulation");
    EXPECT_EQ(header.elements[8].s, "DLCCoast.esm");
    EXPECT_NE(list.elements[6].s.find("manor"), std::string::npos);

    const ScriptValue plugins = Call("GetPluginsRequired", {file});
    std::vector<std::string> pluginTexts;
    for (const ScriptValue& p : plugins.elements) pluginTexts.push_back(p.s);
    // The worldspace's add-on, then the workshop's plugin, then the items'.
    EXPECT_EQ(pluginTexts, (std::vector<std::string>{"Korvane.esm", "DLCCoast.esm",
                                                     "Homestead \xC9"
                                                     "dition.esp",
                                                     "DLCworkshop01.esm"}));

    const ScriptValue workshop = Call("GetWorkshopData", {file});
    ASSERT_EQ(workshop.elements.size(), 10u);
    EXPECT_EQ(workshop.elements[0].s, "0249E3");
    EXPECT_EQ(workshop.elements[1].i, 0x249E3);
    EXPECT_EQ(workshop.elements[2].i, 0x1F4A2);
    EXPECT_EQ(workshop.elements[3].s,
              "Homestead \xC9"
              "dition.esp");
    const float workshopFloats[6] = {-80.5f, 1024.5f, 16.5f, -0.0f, 1e-30f, 179.9f};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(Bits(workshop.elements[4 + k].f), Bits(workshopFloats[k])) << k;
    }

    const ScriptValue read = Call("GetItemsFromBlueprint", {file});
    const ScriptValue props = Call("GetExtraPropsFromBlueprint", {file});
    ASSERT_EQ(read.elements.size(), 300u);
    ASSERT_EQ(props.elements.size(), 300u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<ScriptValue>& got = read.elements[i].elements;
        ASSERT_EQ(got.size(), 10u);
        char formIdText[8];
        std::snprintf(formIdText, sizeof formIdText, "%06X", items[i].formId & 0xFFFFFF);
        EXPECT_EQ(got[0].s, items[i].plugin) << i;
        EXPECT_EQ(got[1].s, formIdText) << i;
        EXPECT_EQ(static_cast<uint32_t>(got[2].i), items[i].formId) << i;
        EXPECT_EQ(got[3].s, items[i].name.empty() ? "unknown item" : items[i].name) << i;
        for (int k = 0; k < 6; ++k) EXPECT_EQ(Bits(got[4 + k].f), Bits(items[i].pos[k])) << i;
        const std::vector<ScriptValue>& flags = props.elements[i].elements;
        ASSERT_EQ(flags.size(), 7u);
        for (int k = 0; k < 7; ++k) EXPECT_EQ(flags[k].i, items[i].flags[k]) << i << " " << k;
    }
}

TEST_F(RoundTripTest, InfiniteFloatsComeBackAndNotANumberReadsAsZero) {
    // The layout writes infinities as 1e+9999 and NaN as null; the blueprint
    // must still read back, names that merely look like the number included.
    Call("Init", {ScriptValue::Reference(host.AddReference(0x14, "1e+9999")),
                  ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    const float inf = std::numeric_limits<float>::infinity();
    Call("SaveWorkshopData",
         {ScriptValue::Reference(nullptr), ScriptValue::FormValue(nullptr), ScriptValue::Float(inf),
          ScriptValue::Float(-inf), ScriptValue::Float(NAN), ScriptValue::Float(1e38f),
          ScriptValue::Float(-0.0f), ScriptValue::Float(0.5f)});
    const std::string slot = "Data/Plexor/Plugins/Quillmere/blueprints/2";
    ASSERT_EQ(Call("StoreDataToBlueprint", {ScriptValue::String(slot)}).i, 1);
    const ScriptValue list = Call("LoadBlueprintList", {ScriptValue::String("")});
    ASSERT_EQ(list.elements.size(), 10u);
    const ScriptValue file = ScriptValue::String(slot + "/" + list.elements[1].s);

    const ScriptValue workshop = Call("GetWorkshopData", {file});
    ASSERT_EQ(workshop.elements.size(), 10u) << Describe(workshop);
    const float expected[6] = {inf, -inf, 0.0f, 1e38f, -0.0f, 0.5f};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(Bits(workshop.elements[4 + k].f), Bits(expected[k])) << k;
    }
    EXPECT_EQ(Call("GetBlueprintHeader", {file}).elements.at(2).s, "1e+9999");
}

}  // namespace
}  // namespace quillmere_test
