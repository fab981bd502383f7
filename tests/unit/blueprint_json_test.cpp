#include "blueprint/blueprint_json.h"
#include "fixtures/example_blueprint.h"

#include <gtest/gtest.h>
#include <json/value.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

namespace quillmere {
namespace {

// A float as the host hands it, widened exactly.
Json::Value Real(float value) {
    return Json::Value(static_cast<double>(value));
}

// The document {"v": value}, as the blueprint layout writes it.
std::string SerializeMember(const Json::Value& value) {
    Json::Value root(Json::objectValue);
    root["v"] = value;
    return SerializeBlueprint(root);
}

std::string MemberDocument(const std::string& valueText) {
    return "{\n   \"v\" : " + valueText + "\n}\n";
}

Json::Value Array(const std::vector<Json::Value>& elements) {
    Json::Value array(Json::arrayValue);
    for (const Json::Value& element : elements) array.append(element);
    return array;
}

Json::Value Item(int32_t idx, const char* formId, int32_t formIdDec, int32_t isCreated,
                 int32_t isGenerator, int32_t isPowered, const char* name, const char* plugin,
                 float posX, float posY, float posZ, float rotZ) {
    Json::Value item(Json::objectValue);
    // Set out of key order on purpose: the file must not follow setting order.
    item["rotZ"] = Real(rotZ);
    item["rotY"] = Real(0.0f);
    item["rotX"] = Real(0.0f);
    item["posZ"] = Real(posZ);
    item["posY"] = Real(posY);
    item["posX"] = Real(posX);
    item["plugin_name"] = plugin;
    item["name"] = name;
    item["isTurret"] = 0;
    item["isTamedCreature"] = 0;
    item["isPowered"] = isPowered;
    item["isGenerator"] = isGenerator;
    item["isFarmAnimal"] = 0;
    item["isCreated"] = isCreated;
    item["isActor"] = 0;
    item["idx"] = idx;
    item["FormID_dec"] = formIdDec;
    item["FormID"] = formId;
    return item;
}

TEST(BlueprintJson, TwoItemExampleIsReproducedByteForByte) {
    Json::Value root(Json::objectValue);

    Json::Value workshop(Json::objectValue);
    workshop["rotZ"] = Real(179.9f);
    workshop["rotY"] = Real(0.0f);
    workshop["rotX"] = Real(0.0f);
    workshop["posZ"] = Real(16.5f);
    workshop["posY"] = Real(1024.5f);
    workshop["posX"] = Real(-80.5f);
    workshop["plugin"] = "Korvane.esm";
    workshop["id_dec"] = 149987;
    workshop["id"] = "0249E3";
    workshop["baseid_dec"] = 128162;
    root["workshop"] = workshop;

    root["items"].append(Item(0, "01A2B3", 107187, 1, 0, 1, "Chair", "Korvane.esm", 1024.5f,
                              -2048.25f, 45.5f, 90.0f));
    root["items"].append(Item(1, "000ABC", static_cast<int32_t>(0x05000ABC), 1, 1, 0,
                              "unknown item", "DLCworkshop01.esm", -12.75f, 0.1f, 3.0f, 270.0f));

    Json::Value header(Json::objectValue);
    header["worldspace_plugin"] = "Korvane.esm";
    header["worldspace_name"] = "Commonwealth";
    header["worldspace_id_dec"] = 6699;
    header["worldspace_id"] = "001A2B";
    header["settlement_name"] = "Sanctuary Hills";
    header["plugins_required"].append("Korvane.esm");
    header["plugins_required"].append("DLCworkshop01.esm");
    header["plugin_version"] = Real(1.0f);
    header["player_name"] = "Settler";
    header["item_count"] = 2;
    header["export_date"] = "2017-10-22 14:05:09";
    root["header"] = header;

    const std::string expected = kExampleBlueprint;
    EXPECT_EQ(SerializeBlueprint(root), expected);
}

TEST(BlueprintJson, SixLongRequiredPluginsGoOnSeparateLines) {
    const std::vector<std::string> plugins = {"Korvane_Extra.esm", "DLCworkshop01.esm",
                                              "DLCworkshop02.esm", "DLCworkshop03.esm",
                                              "DLCBrightvale.esm", "ModFurnitureX.esp"};
    Json::Value root(Json::objectValue);
    for (const std::string& plugin : plugins) {
        ASSERT_EQ(plugin.size(), 17u) << plugin;
        root["header"]["plugins_required"].append(plugin);
    }
    root["header"]["item_count"] = 0;

    EXPECT_EQ(SerializeBlueprint(root),
              "{\n"
              "   \"header\" : {\n"
              "      \"item_count\" : 0,\n"
              "      \"plugins_required\" : [\n"
              "         \"Korvane_Extra.esm\",\n"
              "         \"DLCworkshop01.esm\",\n"
              "         \"DLCworkshop02.esm\",\n"
              "         \"DLCworkshop03.esm\",\n"
              "         \"DLCBrightvale.esm\",\n"
              "         \"ModFurnitureX.esp\"\n"
              "      ]\n"
              "   }\n"
              "}\n");
}

struct LayoutCase {
    const char* what;
    Json::Value value;
    std::string text;  // the value's text after the key
};

std::string MultiLine(const std::vector<std::string>& elements) {
    std::string text = "[\n";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        text += "      " + elements[i] + (i + 1 < elements.size() ? ",\n" : "\n");
    }
    return text + "   ]";
}

std::string OneLine(const std::vector<std::string>& elements) {
    std::string text = "[ ";
    for (std::size_t i = 0; i < elements.size(); ++i) text += (i > 0 ? ", " : "") + elements[i];
    return text + " ]";
}

Json::Value Zeros(int count) {
    Json::Value array(Json::arrayValue);
    for (int i = 0; i < count; ++i) array.append(0);
    return array;
}

TEST(BlueprintJson, ContainerLayout) {
    // One string element: the one-line length is 4 + its quoted length.
    const std::string text67(67, 'x');  // quoted 69 -> 73
    const std::string text68(68, 'x');  // quoted 70 -> 74
    Json::Value nestedObject(Json::objectValue);
    nestedObject["b"] = 1;
    nestedObject["a"] = Json::Value(Json::arrayValue);

    const std::vector<LayoutCase> cases = {
        {"empty array", Json::Value(Json::arrayValue), "[]"},
        {"empty object", Json::Value(Json::objectValue), "{}"},
        {"short array", Array({1, "a", true, Json::Value()}), "[ 1, \"a\", true, null ]"},
        {"length 73", Array({text67}), "[ \"" + text67 + "\" ]"},
        {"length 74", Array({text68}), MultiLine({"\"" + text68 + "\""})},
        {"23 zeros, length 71", Zeros(23), OneLine(std::vector<std::string>(23, "0"))},
        {"24 zeros, length 74", Zeros(24), MultiLine(std::vector<std::string>(24, "0"))},
        {"25 zeros", Zeros(25), MultiLine(std::vector<std::string>(25, "0"))},
        {"empty containers stay inline",
         Array({Json::Value(Json::arrayValue), Json::Value(Json::objectValue)}), "[ [], {} ]"},
        {"a non-empty array element", Array({Array({1, 2}), Array({3})}),
         MultiLine({"[ 1, 2 ]", "[ 3 ]"})},
        {"a non-empty object element", Array({nestedObject, 7}),
         "[\n      {\n         \"a\" : [],\n         \"b\" : 1\n      },\n      7\n   ]"},
        {"nested object", nestedObject, "{\n      \"a\" : [],\n      \"b\" : 1\n   }"},
    };
    for (const LayoutCase& c : cases) {
        EXPECT_EQ(SerializeMember(c.value), MemberDocument(c.text)) << c.what;
    }
}

TEST(BlueprintJson, RootArrayAndScalarEndWithLineFeed) {
    EXPECT_EQ(SerializeBlueprint(Array({1, 2})), "[ 1, 2 ]\n");
    EXPECT_EQ(SerializeBlueprint(Json::Value(Json::objectValue)), "{}\n");
}

TEST(BlueprintJson, KeysAreSortedByUnsignedBytes) {
    Json::Value root(Json::objectValue);
    for (const char* key :
         {"\xC3\xA9t\xC3\xA9", "idx", "a", "_a", "FormID_dec", "FormID", "B", ""}) {
        root[key] = 0;
    }
    EXPECT_EQ(SerializeBlueprint(root),
              "{\n"
              "   \"\" : 0,\n"
              "   \"B\" : 0,\n"
              "   \"FormID\" : 0,\n"
              "   \"FormID_dec\" : 0,\n"
              "   \"_a\" : 0,\n"
              "   \"a\" : 0,\n"
              "   \"idx\" : 0,\n"
              "   \"\xC3\xA9t\xC3\xA9\" : 0\n"
              "}\n");
}

TEST(BlueprintJson, TextEscapes) {
    const struct {
        std::string text;
        std::string quoted;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\x", "\"C:\\\\x\""},
        {"a/b", "\"a/b\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {"\x01\x1B\x1F", "\"\\u0001\\u001B\\u001F\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\x7F", "\"\x7F\""},
        {"Caf\xC3\xA9 \x80\xFF", "\"Caf\xC3\xA9 \x80\xFF\""},  // no encoding check
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteJsonText(c.text), c.quoted);
        // The same through the tree, where jsoncpp holds the bytes with their length.
        EXPECT_EQ(SerializeMember(Json::Value(c.text)), MemberDocument(c.quoted));
    }
    Json::Value root(Json::objectValue);
    root[std::string("k\0\x1B", 3)] = "v";
    EXPECT_EQ(SerializeBlueprint(root), "{\n   \"k\\u0000\\u001B\" : \"v\"\n}\n");
}

TEST(BlueprintJson, NumberTexts) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        Json::Value value;
        const char* text;
    } cases[] = {
        {Real(0.1f), "0.10000000149011612"},
        {Real(123456789.0f), "123456792.0"},
        {Real(179.9f), "179.89999389648438"},
        {Json::Value(-0.0), "-0.0"},
        {Json::Value(0.0), "0.0"},
        {Json::Value(1.0), "1.0"},
        {Json::Value(90.0), "90.0"},
        {Json::Value(1e20), "1e+20"},
        {Json::Value(1e-7), "9.9999999999999995e-08"},
        {Json::Value(std::numeric_limits<double>::quiet_NaN()), "null"},
        {Json::Value(inf), "1e+9999"},
        {Json::Value(-inf), "-1e+9999"},
        {Json::Value(static_cast<int32_t>(0x81000800)), "-2130704384"},
        {Json::Value(std::numeric_limits<Json::Int64>::min()), "-9223372036854775808"},
        {Json::Value(std::numeric_limits<Json::UInt>::max()), "4294967295"},
        {Json::Value(std::numeric_limits<Json::UInt64>::max()), "18446744073709551615"},
        {Json::Value(true), "true"},
        {Json::Value(false), "false"},
        {Json::Value(), "null"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerializeMember(c.value), MemberDocument(c.text)) << c.text;
    }
}

}  // namespace
}  // namespace quillmere
