// Shared pieces of the import-side host tests, on top of the common plug-in
// fixture: the debug level (which only Init sets, and which outlives a test
// in the same process) and the log lines of interest.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace quillmere_test {

using korvane::ScriptType;

class ImportTest : public PluginTest {
  protected:
    void TearDown() override {
        SetDebugLevel(0);
        PluginTest::TearDown();
    }

    void SetDebugLevel(int32_t level) {
        Call("Init",
             {ScriptValue::Reference(nullptr), ScriptValue::Float(1.0f), ScriptValue::Int(level)});
    }
};

// The log lines written since `log` began that start with `prefix`.
inline std::vector<std::string> LinesStartingWith(const LogWatch& log, const std::string& prefix) {
    std::vector<std::string> matching;
    for (const std::string& line : log.Lines()) {
        if (line.rfind(prefix, 0) == 0) matching.push_back(line);
    }
    return matching;
}

inline int CountOf(const LogWatch& log, const std::string& line) {
    const std::vector<std::string> lines = log.Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// The texts of a string array's elements (none for a None array).
inline std::vector<std::string> Texts(const ScriptValue& array) {
    std::vector<std::string> texts;
    for (const ScriptValue& element : array.elements) texts.push_back(element.s);
    return texts;
}

}  // namespace quillmere_test
