// Reading a scenario. Every mistake names the file, the line and column, and
// the member, so that a hand-written scenario is quick to fix.
#include <json/json.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "scenario.h"

namespace korvane_tool {

std::optional<std::string> Scenario::PluginOf(uint32_t formId) const {
    const std::size_t index = formId >> 24;
    if (index >= loadOrder.size() || loadOrder[index].empty()) return std::nullopt;
    return loadOrder[index];
}

namespace {

// A failed check; carries the complete message.
struct ScenarioError {
    std::string message;
};

class ScenarioParser {
  public:
    ScenarioParser(const std::string& text, const std::string& fileName)
        : text_(text), fileName_(fileName) {}

    Scenario Parse() {
        Json::Reader reader(Json::Features::strictMode());
        Json::Value root;
        if (!reader.parse(text_.data(), text_.data() + text_.size(), root, false)) {
            const auto errors = reader.getStructuredErrors();
            if (errors.empty()) throw ScenarioError{fileName_ + ": not a JSON document"};
            throw ScenarioError{Place(static_cast<std::size_t>(errors.front().offset_start)) +
                                ": " + errors.front().message};
        }
        Expect(root.isObject(), root, "the scenario", "an object");
        CheckMembers(root, "",
                     {"load_order", "player", "plugin_version", "debug_level", "worldspace",
                      "location", "workshop", "items", "batch_size", "slot"});

        Scenario s;
        s.loadOrder = LoadOrder(Required(root, "load_order", ""));
        s.player = OptionalText(root, "player", "");
        if (root.isMember("plugin_version"))
            s.pluginVersion = Float(root["plugin_version"], "plugin_version");
        if (root.isMember("debug_level")) s.debugLevel = Int32(root["debug_level"], "debug_level");
        if (root.isMember("worldspace") && !root["worldspace"].isNull())
            s.worldspace = FormId(root["worldspace"], "worldspace");
        s.location = OptionalText(root, "location", "");

        const Json::Value& workshop = Required(root, "workshop", "");
        Expect(workshop.isObject(), workshop, "workshop", "an object");
        CheckMembers(workshop, "workshop.", {"ref", "base", "pos", "rot"});
        s.workshopRef = FormId(Required(workshop, "ref", "workshop."), "workshop.ref");
        s.workshopBase = FormId(Required(workshop, "base", "workshop."), "workshop.base");
        s.workshopPos = Vector(Required(workshop, "pos", "workshop."), "workshop.pos");
        s.workshopRot = Vector(Required(workshop, "rot", "workshop."), "workshop.rot");

        if (root.isMember("items")) {
            const Json::Value& items = root["items"];
            Expect(items.isArray(), items, "items", "an array of items");
            for (Json::ArrayIndex i = 0; i < items.size(); ++i)
                s.items.push_back(Item(items[i], "items[" + std::to_string(i) + "]"));
        }
        if (root.isMember("batch_size")) {
            const Json::Value& batch = root["batch_size"];
            const int64_t size =
                Integer(batch, "batch_size", 1, std::numeric_limits<int32_t>::max());
            s.batchSize = static_cast<uint32_t>(size);
        }
        s.slot = static_cast<int>(Integer(Required(root, "slot", ""), "slot", 1, 10));
        return s;
    }

  private:
    std::string Place(std::size_t offset) const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < offset && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return fileName_ + ":" + std::to_string(line) + ":" + std::to_string(column);
    }

    [[noreturn]] void Fail(const Json::Value& at, const std::string& message) const {
        throw ScenarioError{Place(static_cast<std::size_t>(at.getOffsetStart())) + ": " + message};
    }

    void Expect(bool ok, const Json::Value& at, const std::string& member,
                const std::string& expected) const {
        if (!ok) Fail(at, member + ": expected " + expected);
    }

    const Json::Value& Required(const Json::Value& object, const char* key,
                                const std::string& prefix) const {
        if (!object.isMember(key)) Fail(object, "missing member " + prefix + key);
        return object[key];
    }

    void CheckMembers(const Json::Value& object, const std::string& prefix,
                      const std::set<std::string>& known) const {
        for (const std::string& name : object.getMemberNames()) {
            if (!known.count(name)) Fail(object[name], "unknown member " + prefix + name);
        }
    }

    std::string Text(const Json::Value& v, const std::string& member) const {
        Expect(v.isString(), v, member, "a text");
        std::string text = v.asString();
        // The game's strings end at their first zero byte.
        if (text.find('\0') != std::string::npos) Fail(v, member + ": a text cannot hold \\u0000");
        return text;
    }

    std::optional<std::string> OptionalText(const Json::Value& object, const char* key,
                                            const std::string& prefix) const {
        if (!object.isMember(key) || object[key].isNull()) return std::nullopt;
        return Text(object[key], prefix + key);
    }

    int64_t Integer(const Json::Value& v, const std::string& member, int64_t low,
                    int64_t high) const {
        const std::string range = std::to_string(low) + " to " + std::to_string(high);
        Expect(v.isIntegral() && v.isInt64(), v, member, "an integer from " + range);
        const int64_t n = v.asInt64();
        Expect(n >= low && n <= high, v, member, "an integer from " + range);
        return n;
    }

    // A script Int: 32 bits, given either signed or unsigned.
    int32_t Int32(const Json::Value& v, const std::string& member) const {
        return static_cast<int32_t>(static_cast<uint32_t>(Integer(
            v, member, std::numeric_limits<int32_t>::min(), std::numeric_limits<uint32_t>::max())));
    }

    float Float(const Json::Value& v, const std::string& member) const {
        Expect(v.isNumeric(), v, member, "a number");
        const float f = v.asFloat();
        Expect(std::isfinite(f), v, member, "a number within the range of a float");
        return f;
    }

    Vector3 Vector(const Json::Value& v, const std::string& member) const {
        Expect(v.isArray() && v.size() == 3, v, member, "an array of three numbers");
        return {Float(v[0], member + "[0]"), Float(v[1], member + "[1]"),
                Float(v[2], member + "[2]")};
    }

    uint32_t FormId(const Json::Value& v, const std::string& member) const {
        const std::string expected = "a form id (an integer or a \"0x...\" text of 1 to 8 digits)";
        if (v.isString()) {
            const std::string text = v.asString();
            const bool hex =
                text.size() > 2 && text.size() <= 10 &&
                (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0) &&
                text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
            Expect(hex, v, member, expected);
            return static_cast<uint32_t>(std::stoul(text.substr(2), nullptr, 16));
        }
        Expect(v.isIntegral() && v.isInt64() && v.asInt64() >= 0 && v.asInt64() <= 0xFFFFFFFFLL, v,
               member, expected);
        return static_cast<uint32_t>(v.asInt64());
    }

    std::vector<std::string> LoadOrder(const Json::Value& v) const {
        Expect(v.isArray() && v.size() >= 1 && v.size() <= 256, v, "load_order",
               "an array of 1 to 256 plugin file names");
        std::vector<std::string> names;
        for (Json::ArrayIndex i = 0; i < v.size(); ++i) {
            const std::string member = "load_order[" + std::to_string(i) + "]";
            names.push_back(v[i].isNull() ? std::string() : Text(v[i], member));
        }
        return names;
    }

    ScenarioItem Item(const Json::Value& v, const std::string& member) const {
        Expect(v.isObject(), v, member, "an item object");
        CheckMembers(v, member + ".", {"form", "ref_name", "pos", "rot", "flags"});
        ScenarioItem item;
        item.form = FormId(Required(v, "form", member + "."), member + ".form");
        item.refName = OptionalText(v, "ref_name", member + ".");
        item.pos = Vector(Required(v, "pos", member + "."), member + ".pos");
        item.rot = Vector(Required(v, "rot", member + "."), member + ".rot");
        if (v.isMember("flags")) {
            const Json::Value& flags = v["flags"];
            const std::string at = member + ".flags";
            Expect(flags.isObject(), flags, at, "an object of flags");
            const std::set<std::string> known(kFlagNames.begin(), kFlagNames.end());
            CheckMembers(flags, at + ".", known);
            for (std::size_t f = 0; f < kFlagNames.size(); ++f) {
                if (flags.isMember(kFlagNames[f]))
                    item.flags[f] = Int32(flags[kFlagNames[f]], at + "." + kFlagNames[f]);
            }
        }
        return item;
    }

    const std::string& text_;
    const std::string& fileName_;
};

}  // namespace

std::optional<Scenario> ParseScenario(const std::string& text, const std::string& fileName,
                                      std::string* error) {
    try {
        return ScenarioParser(text, fileName).Parse();
    } catch (const ScenarioError& e) {
        *error = e.message;
    } catch (const std::exception& e) {  // jsoncpp's own, should a check above miss one
        *error = fileName + ": " + e.what();
    }
    return std::nullopt;
}

std::optional<Scenario> ReadScenario(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot read the scenario";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str(), path, error);
}

}  // namespace korvane_tool
