// A game that stores one blueprint and exits, for the full-disk test under
// Wine: a Windows program cannot lower its own file-size limit, so the test
// script runs this one under `prlimit --fsize=N`.
//
//   full_disk_helper GAME_FOLDER earlier   stores the first blueprint
//   full_disk_helper GAME_FOLDER store     stores the next one
//
// Exit code 0 when StoreDataToBlueprint reported true, 1 when false, 2 when
// the game could not be set up.
#include <cstdio>
#include <filesystem>
#include <string>

#include "korvane_sim.h"

using korvane::ScriptValue;

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc != 3) {
        std::fprintf(stderr, "usage: full_disk_helper GAME_FOLDER earlier|store\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) return 2;
    const std::string mode = argv[2];

    korvane::Host host;
    if (!host.LoadPlugin(korvane::DefaultPluginPath()).loaded) return 2;
    host.DeclareQuillmereStructs();
    if (!host.Register()) return 2;
    host.SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop02.esm", "DLCCoast.esm",
                       "DLCBrightvale.esm", "DLCworkshop01.esm"});
    const auto call = [&](const char* name, std::vector<ScriptValue> args) {
        return host.Call("Quillmere", name, args);
    };
    const auto floats = [](std::vector<float> v) { return ScriptValue::FloatArray(v); };
    const auto ints = [](std::vector<int32_t> v) { return ScriptValue::IntArray(v); };

    call(
        "Init",
        {ScriptValue::Reference(host.AddReference(0x14, mode == "earlier" ? "Earlier" : "Settler")),
         ScriptValue::Float(1), ScriptValue::Int(1)});
    call("SaveHeader", {ScriptValue::Int(2), ScriptValue::FormValue(host.AddForm(0x1A2B)),
                        ScriptValue::FormValue(host.AddLocation(0x1F000, "Sanctuary Hills"))});
    korvane::Form* chair = host.AddForm(0x1A2B3);
    call("SaveWorkshopData", {ScriptValue::Reference(host.AddReference(0x249E3, std::nullopt)),
                              ScriptValue::FormValue(chair), ScriptValue::Float(1),
                              ScriptValue::Float(2), ScriptValue::Float(3), ScriptValue::Float(4),
                              ScriptValue::Float(5), ScriptValue::Float(6)});
    call("Save128Items",
         {ScriptValue::FormArray({chair, host.AddForm(0x05000ABC)}),
          ScriptValue::ReferenceArray({host.AddReference(0xFF000801, "Chair"), nullptr}),
          floats({1.5f, -2.5f}), floats({3, 4}), floats({5, 6}), floats({0, 0}), floats({0, 0}),
          floats({90, 270})});
    call("Save128ExtraProps", {ints({1, 0}), ints({0, 1}), ints({1, 1}), ints({0, 0}), ints({0, 0}),
                               ints({0, 0}), ints({0, 7})});
    const ScriptValue stored =
        call("StoreDataToBlueprint",
             {ScriptValue::String("Data/Plexor/Plugins/Quillmere/blueprints/3")});
    std::printf("stored: %s\n", stored.i ? "true" : "false");
    return stored.i ? 0 : 1;
}
