#include "script_declarations.h"

#include <sstream>
#include <stdexcept>

namespace quillmere_test {

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The script language's keywords are not case-sensitive.
bool Is(const std::string& word, const std::string& keyword) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(word[i])) !=
            std::tolower(static_cast<unsigned char>(keyword[i])))
            return false;
    }
    return true;
}

ScriptVariable Variable(const std::string& text, int line) {
    const std::vector<std::string> words = Words(text);
    if (words.size() != 2)
        throw std::runtime_error("line " + std::to_string(line) + ": expected 'Type name'");
    return {words[0], words[1]};
}

}  // namespace

ScriptDeclarations ParseScriptDeclarations(const std::string& text) {
    ScriptDeclarations script;
    ScriptStructDeclaration* open = nullptr;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (const auto comment = line.find(';'); comment != std::string::npos) line.erase(comment);
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        auto fail = [&](const std::string& why) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + why);
        };

        if (open) {
            if (Is(words[0], "EndStruct")) {
                open = nullptr;
            } else {
                open->members.push_back(Variable(line, number));
            }
        } else if (Is(words[0], "Scriptname")) {
            if (words.size() < 2) fail("Scriptname without a name");
            script.scriptName = words[1];
            script.scriptFlags.assign(words.begin() + 2, words.end());
        } else if (Is(words[0], "Struct")) {
            if (words.size() != 2) fail("expected 'Struct Name'");
            script.structs.push_back({words[1], {}});
            open = &script.structs.back();
        } else {
            const auto openParen = line.find('('), closeParen = line.find(')');
            if (openParen == std::string::npos || closeParen < openParen)
                fail("not a declaration: " + line);
            const std::vector<std::string> head = Words(line.substr(0, openParen));
            ScriptFunctionDeclaration f;
            if (head.size() == 3 && Is(head[1], "Function")) {
                f.returnType = head[0];
                f.name = head[2];
            } else if (head.size() == 2 && Is(head[0], "Function")) {
                f.name = head[1];
            } else {
                fail("expected '[Type] Function Name(...)'");
            }
            std::istringstream params(line.substr(openParen + 1, closeParen - openParen - 1));
            for (std::string p; std::getline(params, p, ',');) {
                if (!Words(p).empty()) f.parameters.push_back(Variable(p, number));
            }
            f.flags = Words(line.substr(closeParen + 1));
            script.functions.push_back(f);
        }
    }
    if (open) throw std::runtime_error("Struct " + open->name + " has no EndStruct");
    return script;
}

}  // namespace quillmere_test
