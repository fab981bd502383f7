// The mod's script declarations against the plug-in's registered natives:
// the host declares the structs from the file, as the game does from the
// compiled scripts, so the file and the library cannot drift apart.
#include "script_declarations.h"

#include <map>
#include <set>

#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using korvane::ScriptType;

constexpr char kScriptClass[] = "Quillmere";

// The declarations travel beside the test program (copied at build time), so
// both builds find them the same way.
fs::path DeclarationsPath() {
    return fs::path(korvane::DefaultPluginPath()).parent_path() / "scripts" / "Quillmere.psc";
}

// A type word as a script type's name: simple codes, else type information
// (its name at +16), bit 0 marking an array of it.
std::string TypeName(uint64_t word) {
    static const std::map<uint64_t, std::string> simple = {
        {0, "None"}, {2, "String"},    {3, "Int"},    {4, "Float"},
        {5, "Bool"}, {12, "String[]"}, {13, "Int[]"}, {14, "Float[]"}};
    if (word <= 17) {
        const auto it = simple.find(word);
        return it == simple.end() ? "code " + std::to_string(word) : it->second;
    }
    const auto* info = reinterpret_cast<const unsigned char*>(word & ~uint64_t{1});
    const void* name = *reinterpret_cast<const void* const*>(info + 16);
    return korvane::TextOf(name) + ((word & 1) ? "[]" : "");
}

ScriptType MemberType(const std::string& type) {
    static const std::map<std::string, ScriptType> types = {{"Int", ScriptType::Int},
                                                            {"Float", ScriptType::Float},
                                                            {"Bool", ScriptType::Bool},
                                                            {"String", ScriptType::String}};
    const auto it = types.find(type);
    return it == types.end() ? ScriptType::None : it->second;
}

// One item, a header and a workshop with every member set.
constexpr char kBlueprint[] = R"({
  "header": {"export_date": "2017-10-22 14:05:09", "item_count": 1, "player_name": "Settler",
             "plugin_version": 1.5, "plugins_required": ["Korvane.esm"],
             "settlement_name": "Sanctuary Hills", "worldspace_id": "001A2B",
             "worldspace_id_dec": 6699, "worldspace_name": "Commonwealth",
             "worldspace_plugin": "Korvane.esm"},
  "items": [{"FormID": "01A2B3", "FormID_dec": 107187, "idx": 0, "isActor": 0, "isCreated": 1,
             "isFarmAnimal": 0, "isGenerator": 0, "isPowered": 1, "isTamedCreature": 0,
             "isTurret": 0, "name": "Chair", "plugin_name": "Korvane.esm", "posX": 1.5,
             "posY": 2.5, "posZ": 3.5, "rotX": 0, "rotY": 0, "rotZ": 90}],
  "workshop": {"baseid_dec": 128162, "id": "0249E3", "id_dec": 149987, "plugin": "Korvane.esm",
               "posX": -80.5, "posY": 1024.5, "posZ": 16.5, "rotX": 0, "rotY": 0, "rotZ": 179.9}
}
)";

class ScriptDeclarationsTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_TRUE(fs::exists(DeclarationsPath())) << DeclarationsPath();
        script = ParseScriptDeclarations(ReadFile(DeclarationsPath()));
        ASSERT_TRUE(declared.LoadPlugin(korvane::DefaultPluginPath()).loaded);
        for (const ScriptStructDeclaration& s : script.structs) {
            std::vector<ScriptType> members;
            for (const ScriptVariable& m : s.members) {
                members.push_back(MemberType(m.type));
                ASSERT_NE(members.back(), ScriptType::None) << s.name << "." << m.name;
            }
            declared.DeclareStruct(std::string(kScriptClass) + "#" + s.name, members);
        }
        ASSERT_TRUE(declared.Register());
    }

    const ScriptStructDeclaration* FindStruct(const std::string& name) const {
        for (const ScriptStructDeclaration& s : script.structs) {
            if (s.name == name) return &s;
        }
        return nullptr;
    }

    // A declared type as the host names it: structs by their full name.
    std::string HostTypeName(std::string type) const {
        const bool array = type.size() > 2 && type.compare(type.size() - 2, 2, "[]") == 0;
        if (array) type.resize(type.size() - 2);
        if (FindStruct(type)) type = std::string(kScriptClass) + "#" + type;
        return array ? type + "[]" : type;
    }

    ScriptDeclarations script;
    korvane::Host declared;
};

TEST_F(ScriptDeclarationsTest, EveryNativeIsDeclaredInRegistrationOrderWithItsTypes) {
    EXPECT_EQ(script.scriptName, kScriptClass);
    EXPECT_EQ(script.scriptFlags, (std::vector<std::string>{"Native", "Hidden"}));

    const std::vector<korvane::RegisteredFunction>& natives = declared.Functions();
    ASSERT_EQ(script.functions.size(), natives.size());
    for (std::size_t i = 0; i < natives.size(); ++i) {
        const ScriptFunctionDeclaration& f = script.functions[i];
        const korvane::RegisteredFunction& native = natives[i];
        SCOPED_TRACE(native.name);
        EXPECT_EQ(native.className, kScriptClass);
        EXPECT_EQ(f.name, native.name) << "declaration " << i;
        EXPECT_EQ(f.flags, (std::vector<std::string>{"Global", "Native"}));
        EXPECT_EQ(HostTypeName(f.returnType), TypeName(native.returnType));
        ASSERT_EQ(f.parameters.size(), native.paramTypes.size());
        for (std::size_t p = 0; p < f.parameters.size(); ++p) {
            EXPECT_EQ(HostTypeName(f.parameters[p].type), TypeName(native.paramTypes[p]))
                << f.parameters[p].name;
        }
    }
}

TEST_F(ScriptDeclarationsTest, StructsHaveTheShapesTheNativesFill) {
    WriteFile("bp.json", kBlueprint);
    std::set<std::string> filled;
    for (const ScriptFunctionDeclaration& f : script.functions) {
        const std::string base = f.returnType.substr(0, f.returnType.find('['));
        const ScriptStructDeclaration* shape = FindStruct(base);
        if (!shape) continue;
        SCOPED_TRACE(f.name);
        // The struct natives take nothing or a blueprint's path.
        std::vector<ScriptValue> args;
        if (!f.parameters.empty()) {
            ASSERT_EQ(f.parameters.size(), 1u);
            args.push_back(ScriptValue::String("bp.json"));
        }
        const ScriptValue result = declared.Call(kScriptClass, f.name, args);
        const std::vector<ScriptValue> structs =
            result.IsArray() ? result.elements : std::vector<ScriptValue>{result};
        ASSERT_FALSE(structs.empty());
        for (const ScriptValue& s : structs) {
            ASSERT_EQ(s.type, ScriptType::Struct) << korvane::Describe(s);
            ASSERT_FALSE(s.isNone) << "the library's shape does not fit the declaration";
            EXPECT_EQ(s.s, std::string(kScriptClass) + "#" + shape->name);
            ASSERT_EQ(s.elements.size(), shape->members.size());
            for (std::size_t m = 0; m < s.elements.size(); ++m) {
                EXPECT_EQ(s.elements[m].type, MemberType(shape->members[m].type))
                    << shape->members[m].name;
            }
        }
        filled.insert(shape->name);
    }
    std::set<std::string> declaredStructs;
    for (const ScriptStructDeclaration& s : script.structs) declaredStructs.insert(s.name);
    EXPECT_EQ(filled, declaredStructs) << "a declared struct that no native returns";

    // Fewer members than the library fills would pass the check above; a
    // script type one member wider than the declaration must be refused.
    korvane::Host wider;
    ASSERT_TRUE(wider.LoadPlugin(korvane::DefaultPluginPath()).loaded);
    for (const ScriptStructDeclaration& s : script.structs) {
        std::vector<ScriptType> members(s.members.size() + 1, ScriptType::Int);
        for (std::size_t m = 0; m < s.members.size(); ++m)
            members[m] = MemberType(s.members[m].type);
        wider.DeclareStruct(std::string(kScriptClass) + "#" + s.name, members);
    }
    ASSERT_TRUE(wider.Register());
    for (const ScriptFunctionDeclaration& f : script.functions) {
        if (!FindStruct(f.returnType.substr(0, f.returnType.find('[')))) continue;
        const ScriptValue result = wider.Call(
            kScriptClass, f.name,
            f.parameters.empty() ? std::vector<ScriptValue>{}
                                 : std::vector<ScriptValue>{ScriptValue::String("bp.json")});
        const std::vector<ScriptValue> structs =
            result.IsArray() ? result.elements : std::vector<ScriptValue>{result};
        EXPECT_FALSE(structs.empty()) << f.name;
        for (const ScriptValue& s : structs)
            EXPECT_TRUE(s.isNone) << f.name << " fills more members than declared";
    }
}

TEST(ScriptDeclarationsParser, RejectsWhatItCannotRead) {
    EXPECT_THROW(ParseScriptDeclarations("Struct A\nInt x\n"), std::runtime_error);
    EXPECT_THROW(ParseScriptDeclarations("Int Function F(Int) Global Native\n"),
                 std::runtime_error);
    EXPECT_THROW(ParseScriptDeclarations("Event OnInit\n"), std::runtime_error);
    const ScriptDeclarations ok =
        ParseScriptDeclarations("scriptname S native ; comment\nFunction F() global native\n");
    EXPECT_EQ(ok.scriptName, "S");
    ASSERT_EQ(ok.functions.size(), 1u);
    EXPECT_EQ(ok.functions[0].returnType, "");
}

}  // namespace
}  // namespace quillmere_test
