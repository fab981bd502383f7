// The simulated game host: a stand-in for the game, its script virtual
// machine and the script extender, so that tests and the korvane-sim program
// drive the very plug-in library the game would load.
//
// This is the public face that tests and tools use. It is written from the
// host's binary interface (docs/host-abi.md) independently of the library:
// nothing in sim/ includes a header of src/.
//
// Lifetime. The host image (the routines and objects at fixed offsets from
// the main-module base), the heap, the string cache, the handle policy, the
// game state (forms, load order) and the loaded plug-in libraries are
// process-wide, like the library's own static state: the image is made by
// the first Host and lives until the process ends; the game state is cleared
// when the last live Host goes. Each Host is one script virtual machine of
// its own: its registered functions, declared struct types, fault plan, call
// trace and kept arrays. Several Hosts may live at once. The image's VM
// holder (0x585ED58 -> +176) names the machine of the Host whose call into
// the plug-in is under way (Call, Register, LoadPlugin), else the newest.
//
// What the host answers, where the interface leaves it open:
// - Type information kinds: 1 for the object types "Form" (form type 0) and
//   "ObjectReference" (form type 64), 7 for struct types. Their type ids
//   (TypeIdOfName) are their form types. No other object type exists.
// - Handles: (actual form type << 32) | form id; InvalidHandle is
//   0x0000FFFF00000000. MakeHandle(t, form) is invalid when t is not 0 and
//   the form's type is not t; HandleIsType(0, h) holds for every valid h.
// - Identifiers live in host heap blocks (so the plug-in may free them); the
//   lock word counts holders, persisting the handle from 2 holders on.
// - New arrays' cells start as the element type with a zero payload (a None
//   of the object/struct type for those); their storage is a heap block.
// - New structs' members start the same way, by their declared types.
// - HostNativeInit gives back the name and class-name references already in
//   the object, sets both names, allocates paramEntries (names "arg0"...,
//   type 0), sets paramCountA = paramCountB = count and flagA = isStatic.
//   HostNativeTeardown releases functionName, className, auxName, auxName2
//   and the parameter names and frees paramEntries. HostParamInfo answers
//   indices below paramCountA with a new reference to the name (the caller
//   releases it). HostNativeForward returns (uint32)(a + 2b + 3c + 4d);
//   HostNativeQuery returns 0x5100 + the parameter count; HostNativeQueryIndexed
//   writes number*2+1 to the address and answers number < parameter count.
// - RegisterFunction reads the name, class name, return type and parameter
//   types through the function's own slots 1, 2, 4 and 6.
// - Call's stack frame puts this call's arguments at position 3 of the
//   stack (other cells before them), so a native must use the position.
//
// Contract violations. When the library breaks the host's contract (a wrong
// heap, a double free, a released string released again, an unknown type
// word, an argument index beyond what the script passed, a function whose
// destructor does not free it ...) the host prints "korvane-sim: host
// contract violated: ..." to stderr and aborts, so the fault is loud on both
// builds (Wine has no sanitizers).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// ---- Game state -----------------------------------------------------------

enum class FormType : uint8_t { Any = 0, ObjectReference = 64, Worldspace = 71, Location = 104 };

// A game form, laid out as the host lays one out: form id at 0x14, form type
// at 0x1A, and for a location its full name (a string-cache reference, null
// when none) at 0x28. Made by Host::AddForm and friends; owned by the game
// state (alive until the last Host goes).
struct Form {
    alignas(8) unsigned char raw[0x40] = {};

    uint32_t FormId() const;
    uint8_t TypeCode() const;
};

// A placed reference (form type 64). Its display name is kept by the host and
// answered by the ReferenceDisplayName routine.
struct ObjectReference : Form {};

// ---- Script values ---------------------------------------------------------

enum class ScriptType {
    None,
    Int,
    Float,
    Bool,
    String,
    Form,
    ObjectReference,
    Struct,
    IntArray,
    FloatArray,
    StringArray,
    FormArray,
    ObjectReferenceArray,
    StructArray,
};

// A script variable that holds an array across native calls: the script's
// own array, which natives may write through to (append with update, set with
// update). Made by Host::KeepArray, passed with ScriptValue::Held, read back
// with Host::Read. It holds one reference on the host array until
// Host::Drop(array) or the end of the Host.
struct ScriptArray {
    uint64_t id = 0;
};

// Storage facts of a kept array, as the host's array data holds them.
struct ArrayStorage {
    uint32_t count = 0;
    uint32_t capacity = 0;
    uintptr_t data = 0;  // address of the host array data (identity)
};

// A script value as a script sees it: a deep copy read out of a host cell.
struct ScriptValue {
    ScriptType type = ScriptType::None;
    bool isNone = true;  // for arrays/structs/objects: a None of that type
    int32_t i = 0;       // Int (scripts' Int is signed), Bool (0/1)
    float f = 0.0f;
    std::string s;                      // String (bytes), struct type name for Struct/StructArray
    Form* form = nullptr;               // Form / ObjectReference (ObjectReference is a Form)
    std::vector<ScriptValue> elements;  // arrays: elements; structs: members in order
    uint64_t rawTypeWord = 0;           // the cell's type word as the host saw it
    uintptr_t hostObject = 0;           // read values: the payload's host object (array data,
                                        // struct data, identifier) for identity checks; 0 if none
    ScriptArray held;                   // arguments: pass this kept array itself (see Held)

    static ScriptValue None();
    static ScriptValue Int(int32_t v);
    static ScriptValue Float(float v);
    static ScriptValue Bool(bool v);
    static ScriptValue String(std::string v);
    static ScriptValue FormValue(Form* f);             // null → None of form type
    static ScriptValue Reference(ObjectReference* r);  // null → None of reference type
    static ScriptValue IntArray(std::vector<int32_t> v);
    static ScriptValue FloatArray(std::vector<float> v);
    static ScriptValue StringArray(std::vector<std::string> v);
    static ScriptValue FormArray(std::vector<Form*> v);
    static ScriptValue ReferenceArray(std::vector<ObjectReference*> v);
    static ScriptValue NoneArray(ScriptType arrayType);
    // A struct of a declared script struct type, members by position (None: a
    // None of that struct type). No native takes one; Call supports it anyway.
    static ScriptValue Struct(std::string scriptName, std::vector<ScriptValue> members);
    static ScriptValue NoneStruct(std::string scriptName);
    // An argument that passes the kept array itself, so that a native's
    // write-through changes it.
    static ScriptValue Held(ScriptArray array);

    bool IsArray() const;
};

// Equality of content: type, none flag, number, text, form and elements;
// rawTypeWord, hostObject and held do not take part.
bool operator==(const ScriptValue& a, const ScriptValue& b);
std::string Describe(const ScriptValue& v);
void PrintTo(const ScriptValue& v, std::ostream* os);  // for GoogleTest messages

// ---- The host -------------------------------------------------------------

struct LoadOptions {
    uint32_t runtimeVersion = 0x01090040;
    uint32_t pluginHandle = 7;
    bool refuseRegistrationCallback = false;
    bool nullScriptInterface = false;  // queryInterface(3) answers null
};

struct LoadReport {
    bool loaded = false;  // library found and both exports resolved
    std::string error;    // why not, when !loaded
    bool queryReturned = false;
    bool loadReturned = false;
    uint32_t descriptionVersion = 0;
    std::string descriptionName;
    const char* descriptionNamePointer = nullptr;  // as the library left it
    uint32_t descriptionVersionNumber = 0;
    bool pluginHandleAsked = false;
    std::vector<uint32_t> interfacesQueried;  // ids passed to queryInterface, in order
    bool callbackOffered = false;             // registerCallback was called
    bool callbackAccepted = false;
};

// Per Host. HeapAllocate has no machine argument: its requests count
// against the Host whose call into the plug-in is under way.
struct FaultPlan {
    // Decline the Nth (1-based) creation from now on; 0 = never. Counting
    // covers the library's requests only: NewArray (slot 25), NewStruct
    // (slot 24) and HeapAllocate calls through the routine. The host's own
    // arrays and allocations (script arguments, identifiers, array storage of
    // NewArray) are never declined.
    uint64_t declineArrayAt = 0;
    uint64_t declineStructAt = 0;
    uint64_t declineHeapAt = 0;
    // Decline every request from the Nth on, instead of only the Nth.
    bool persistent = false;
};

// Process-wide book-keeping. Live figures include the host's own objects, so
// tests compare them before and after the step under test.
struct Counters {
    uint64_t liveHeapBlocks = 0;  // blocks allocated through HeapAllocate and not freed
    uint64_t liveStringRefs = 0;  // string-cache references handed out and not given back
    uint64_t liveIdentifiers = 0;
    uint64_t liveArrays = 0;
    uint64_t liveStructs = 0;
    // NewArray / NewStruct / HeapAllocate requests of the plug-in that succeeded.
    uint64_t arraysCreated = 0, structsCreated = 0, heapAllocations = 0;
    uint64_t functionsDestroyed = 0;
    uint64_t typeInfoRefs = 0;      // type-information references handed out, not given back
    uint64_t persistedHandles = 0;  // PersistHandle minus ReleaseHandle
    uint64_t arraysDeclined = 0, structsDeclined = 0, heapDeclined = 0;
};

struct RegisteredFunction {
    std::string className;
    std::string name;
    void* object = nullptr;   // the library's function object
    uint64_t returnType = 0;  // type words read through slots 4 and 6
    std::vector<uint64_t> paramTypes;
};

// What the host saw during the last Call.
struct CallTrace {
    uint32_t argumentOffsetQueries = 0;     // HostArgumentOffset calls
    std::vector<uint32_t> argumentIndices;  // HostArgumentValue indices, in order
    bool runResult = false;                 // what slot 22 returned
};

// Which texts the string cache hands out as indirection entries (an entry
// flagged 0x4000 that points at the entry holding the text; its own text
// field reads "<indirection>"). The choice depends on the text only, so the
// same text always gets the same handle.
enum class IndirectionRule {
    ByHash,  // default: texts whose FNV-1a hash is divisible by 3 (about a third)
    Never,
    Always,
};

class Host {
  public:
    // Maps the process-wide host image on first use; makes a new machine.
    Host();
    // Tears the virtual machine down: destroys every function object through
    // slot 0 with flags 1 (and checks the memory came back and
    // HostNativeTeardown ran), drops kept arrays; the last Host also clears
    // the game state.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // --- game state (process-wide, shared by live Hosts)
    // Index = load-order index; an empty name leaves a null entry there.
    void SetLoadOrder(std::vector<std::string> pluginFileNames);
    // A form id names one form: adding an id again updates that form in
    // place (type, full name, display name) and returns the same pointer.
    Form* AddForm(uint32_t formId, FormType type = FormType::Any);
    Form* AddLocation(uint32_t formId, std::optional<std::string> fullName);
    ObjectReference* AddReference(uint32_t formId, std::optional<std::string> displayName);

    // --- script struct types the scripts declare ("Quillmere#SettlementItem" ...)
    // Member types are simple (Int, Float, Bool, String). Declaring a name
    // again replaces the type for later look-ups.
    void DeclareStruct(const std::string& scriptName, std::vector<ScriptType> memberTypes);
    void DeclareQuillmereStructs();  // the five structs of the Quillmere script, as the mod
                                     // declares them

    // --- the extender
    // Loads the library (kept loaded for the life of the process), resolves
    // PlexorPlugin_Query and PlexorPlugin_Load and calls them in order. A
    // second LoadPlugin of the same path runs both again on the loaded library.
    LoadReport LoadPlugin(const std::string& path, const LoadOptions& options = {});
    bool Register();  // calls the stored registration callback with this host's virtual machine
    const std::vector<RegisteredFunction>& Functions() const;
    const RegisteredFunction* FindFunction(const std::string& className,
                                           const std::string& name) const;

    // --- scripts calling natives (through a stack frame and slot 22, as the game does)
    // Argument cells are made as a script's variables hold them: strings with
    // a reference of their own; arrays as new host arrays (or the kept array
    // itself, for ScriptValue::Held); Form and ObjectReference values through
    // an identifier found or created and bound for (handle, type name), so the
    // plug-in reads them through the handle policy. The result cell and the
    // argument cells are cleaned up afterwards. Throws std::invalid_argument
    // for an unknown native, a number of arguments other than the native
    // declared, a form that is not the game's, or an undeclared struct type.
    ScriptValue Call(const std::string& className, const std::string& name,
                     const std::vector<ScriptValue>& args = {});
    // As Call, for a native that returns an array: the array stays in the
    // host as a script variable holds it (Read, Storage, Drop), instead of
    // being read back element by element. A None result, or one that is not
    // an array, is let go and gives id 0.
    ScriptArray CallKeepingArray(const std::string& className, const std::string& name,
                                 const std::vector<ScriptValue>& args = {});
    const CallTrace& LastCall() const;

    // --- script variables holding arrays across calls
    ScriptArray KeepArray(const ScriptValue& array);  // a new host array with these elements
    ScriptValue Read(ScriptArray array) const;
    ArrayStorage Storage(ScriptArray array) const;
    void Drop(ScriptArray array);

    // --- fault injection and book-keeping
    void SetFaults(const FaultPlan& plan);  // counting restarts now
    Counters GetCounters() const;
    void SetIndirection(IndirectionRule rule);
    static bool IsIndirectText(std::string_view text,
                               IndirectionRule rule = IndirectionRule::ByHash);

    // --- raw access for tests that call host operations directly
    void* VirtualMachine() const;
    static uintptr_t ImageBase();

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// The text a string-cache reference stands for (following indirections); a
// null reference reads as "".
std::string TextOf(const void* stringEntry);

// Default plug-in path: the library built beside the running program
// (libquillmere.so on Linux, quillmere.dll on Windows).
std::string DefaultPluginPath();

// Where the plug-in's debug log goes: the documents folder +
// "/My Games/Korvane/Plexor/quillmere.log" (Windows: backslashes).
std::string DebugLogPath();

}  // namespace korvane
