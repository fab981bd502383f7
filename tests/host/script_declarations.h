// The mod's script declarations (scripts/Quillmere.psc), read the way a test
// needs them: the script's name and flags, its structs and its functions.
#pragma once

#include <string>
#include <vector>

namespace quillmere_test {

struct ScriptVariable {
    std::string type;  // as written: Int, Float, Bool, String, Form, MyStruct[] ...
    std::string name;
};

struct ScriptStructDeclaration {
    std::string name;
    std::vector<ScriptVariable> members;
};

struct ScriptFunctionDeclaration {
    std::string returnType;  // empty for none
    std::string name;
    std::vector<ScriptVariable> parameters;
    std::vector<std::string> flags;  // Global, Native ...
};

struct ScriptDeclarations {
    std::string scriptName;
    std::vector<std::string> scriptFlags;
    std::vector<ScriptStructDeclaration> structs;
    std::vector<ScriptFunctionDeclaration> functions;
};

// Parses the subset of the script language that a native script's
// declarations use: ';' comments, the Scriptname line, Struct ... EndStruct
// blocks of "Type name" lines, and one-line function declarations. Throws
// std::runtime_error with the line number for anything else.
ScriptDeclarations ParseScriptDeclarations(const std::string& text);

}  // namespace quillmere_test
