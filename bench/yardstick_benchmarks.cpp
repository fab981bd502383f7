// What the plug-in's work is measured against: the same blueprint file read,
// parsed and written by jsoncpp alone, with no host in between.
#include <json/reader.h>
#include <json/value.h>
#include <json/writer.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "bench_game.h"
#include "benchmarks.h"

namespace quillmere_bench {
namespace {

// The content of a blueprint as plain values, to build the document from.
struct PlainItem {
    std::string plugin_name, FormID, name;
    Json::Int FormID_dec = 0;
    double pos[6] = {};
    Json::Int flags[7] = {};
};
struct PlainBlueprint {
    Json::Value header;  // scalar members only
    std::vector<std::string> plugins;
    Json::Value workshop;
    std::vector<PlainItem> items;
};

constexpr const char* kPosKeys[6] = {"posX", "posY", "posZ", "rotX", "rotY", "rotZ"};
constexpr const char* kFlagKeys[7] = {"isPowered", "isGenerator",  "isCreated",      "isActor",
                                      "isTurret",  "isFarmAnimal", "isTamedCreature"};

Json::Value ParseFile(const std::string& path) {
    std::ifstream in(path);
    Json::Reader reader;
    Json::Value root;
    if (!reader.parse(in, root, true)) throw std::runtime_error("cannot parse " + path);
    return root;
}

PlainBlueprint PlainOf(const std::string& path) {
    const Json::Value root = ParseFile(path);
    PlainBlueprint plain;
    plain.header = root["header"];
    plain.header.removeMember("plugins_required");
    for (const Json::Value& p : root["header"]["plugins_required"])
        plain.plugins.push_back(p.asString());
    plain.workshop = root["workshop"];
    for (const Json::Value& item : root["items"]) {
        PlainItem p;
        p.plugin_name = item["plugin_name"].asString();
        p.FormID = item["FormID"].asString();
        p.name = item["name"].asString();
        p.FormID_dec = item["FormID_dec"].asInt();
        for (int k = 0; k < 6; ++k) p.pos[k] = item[kPosKeys[k]].asDouble();
        for (int k = 0; k < 7; ++k) p.flags[k] = item[kFlagKeys[k]].asInt();
        plain.items.push_back(std::move(p));
    }
    return plain;
}

// The document as the writer builds it: member by member from the root,
// item by item.
Json::Value Build(const PlainBlueprint& plain) {
    Json::Value root;
    for (const std::string& key : plain.header.getMemberNames()) {
        root["header"][key] = plain.header[key];
    }
    for (const std::string& key : plain.workshop.getMemberNames()) {
        root["workshop"][key] = plain.workshop[key];
    }
    for (std::size_t i = 0; i < plain.items.size(); ++i) {
        const PlainItem& p = plain.items[i];
        Json::Value& item = root["items"][static_cast<Json::ArrayIndex>(i)];
        item["idx"] = static_cast<Json::Int>(i);
        item["plugin_name"] = p.plugin_name;
        item["FormID"] = p.FormID;
        item["FormID_dec"] = p.FormID_dec;
        item["name"] = p.name;
        for (int k = 0; k < 6; ++k) item[kPosKeys[k]] = p.pos[k];
        for (int k = 0; k < 7; ++k) item[kFlagKeys[k]] = p.flags[k];
    }
    for (const std::string& plugin : plain.plugins)
        root["header"]["plugins_required"].append(plugin);
    return root;
}

}  // namespace

Work ReadBytesWork(int items) {
    const std::string path = BenchGame::Get().BlueprintOf(items);
    return [path] {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(std::filesystem::file_size(path), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    };
}

// One parse as every reader once did it: a text-mode stream handed to a
// default Json::Reader, comments collected.
Work BareParseWork(int items) {
    const std::string path = BenchGame::Get().BlueprintOf(items);
    return [path] {
        const Json::Value root = ParseFile(path);
        benchmark::DoNotOptimize(&root);
    };
}

// The same document built from plain values and serialised by jsoncpp's
// StyledWriter into one text.
Work BuildWriteWork(int items) {
    auto plain =
        std::make_shared<const PlainBlueprint>(PlainOf(BenchGame::Get().BlueprintOf(items)));
    return [plain] {
        const std::string text = Json::StyledWriter().write(Build(*plain));
        benchmark::DoNotOptimize(text.data());
    };
}

}  // namespace quillmere_bench
