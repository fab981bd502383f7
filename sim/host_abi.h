// The simulated host's own transcription of the game's binary interface:
// every offset from the main-module base, every table slot and every byte
// layout the plug-in relies on. It is kept apart from the library's copy on
// purpose, so that a wrong number on either side shows up as a failing test
// instead of agreeing with itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvane::abi {

// ---- Routines, as offsets from the main-module base -------------------------
inline constexpr uintptr_t kHeapAllocate = 0x1AF13D0;
inline constexpr uintptr_t kHeapFree = 0x1AF16E0;
inline constexpr uintptr_t kStringFromText = 0x1B19A50;
inline constexpr uintptr_t kStringSetText = 0x1B19B80;
inline constexpr uintptr_t kStringRelease = 0x1B1ACE0;
inline constexpr uintptr_t kValueCleanUp = 0x26A22D0;
inline constexpr uintptr_t kValueAssign = 0x26A2920;
inline constexpr uintptr_t kBindIdentifier = 0x2695530;
inline constexpr uintptr_t kDestroyIdentifier = 0x269D910;
inline constexpr uintptr_t kReferenceDisplayName = 0x4095A0;
inline constexpr uintptr_t kHostNativeInit = 0x26BF3C0;
inline constexpr uintptr_t kHostNativeTeardown = 0x26BF5E0;
inline constexpr uintptr_t kHostParamInfo = 0x26BF770;
inline constexpr uintptr_t kHostNativeForward = 0x26BEEC0;
inline constexpr uintptr_t kHostNativeQuery = 0x26BED90;
inline constexpr uintptr_t kHostNativeQueryIndexed = 0x26BEDB0;
inline constexpr uintptr_t kHostArgumentOffset = 0x26B5970;
inline constexpr uintptr_t kHostArgumentValue = 0x26B59D0;

// ---- Objects, as offsets from the main-module base --------------------------
inline constexpr uintptr_t kHeapObject = 0x3857C00;           // the heap itself
inline constexpr uintptr_t kVmHolderPointer = 0x585ED58;      // -> holder; VM* at +176
inline constexpr uintptr_t kHandlePolicyPointer = 0x679C210;  // -> handle policy
inline constexpr uintptr_t kPluginTablePointer = 0x585A300;   // -> loaded-plugin table
inline constexpr std::size_t kHolderVmField = 176;

// The mapped range must hold every stub and object above.
inline constexpr uintptr_t kImageSize = 0x67B0000;
// The lowest offset the host writes to; a Windows host executable must end
// before the allocation unit that contains it.
inline constexpr uintptr_t kLowestOffset = kReferenceDisplayName;

// A 14-byte absolute jump: jmp qword ptr [rip+0] followed by the target.
inline constexpr std::size_t kStubSize = 14;

// ---- Virtual machine slots ---------------------------------------------------
namespace vm {
inline constexpr int kLookupObjectType = 9;
inline constexpr int kTypeIdOfName = 12;
inline constexpr int kLookupStructType = 19;
inline constexpr int kNewIdentifier = 23;
inline constexpr int kNewStruct = 24;
inline constexpr int kNewArray = 25;
inline constexpr int kRegisterFunction = 27;
inline constexpr int kFindIdentifier = 31;
inline constexpr int kHandlePolicy = 51;
inline constexpr int kBindPolicy = 53;
inline constexpr int kSlotCount = 64;
}  // namespace vm

namespace policy {
inline constexpr int kHandleIsType = 1;
inline constexpr int kHandleIsValid = 3;
inline constexpr int kInvalidHandle = 6;
inline constexpr int kMakeHandle = 7;
inline constexpr int kObjectForHandle = 12;
inline constexpr int kPersistHandle = 13;
inline constexpr int kReleaseHandle = 14;
inline constexpr int kSlotCount = 16;
}  // namespace policy

namespace typeinfo {
inline constexpr int kAddRef = 1;
inline constexpr int kRelease = 2;
inline constexpr int kKind = 3;
inline constexpr int kSlotCount = 8;
inline constexpr uint32_t kKindObject = 1;
inline constexpr uint32_t kKindStruct = 7;
}  // namespace typeinfo

// The library's native-function objects, called by the host.
namespace function {
inline constexpr int kDestructor = 0;
inline constexpr int kGetName = 1;
inline constexpr int kGetClassName = 2;
inline constexpr int kGetReturnType = 4;
inline constexpr int kGetParamInfo = 6;
inline constexpr int kIsNative = 8;
inline constexpr int kHasCallback = 21;
inline constexpr int kRun = 22;
inline constexpr std::size_t kObjectSize = 88;
}  // namespace function

// ---- Simple type codes of a value cell ----------------------------------------
namespace type {
inline constexpr uint64_t kNone = 0;
inline constexpr uint64_t kObject = 1;
inline constexpr uint64_t kString = 2;
inline constexpr uint64_t kInt = 3;
inline constexpr uint64_t kFloat = 4;
inline constexpr uint64_t kBool = 5;
inline constexpr uint64_t kStringArray = 12;
inline constexpr uint64_t kIntArray = 13;
inline constexpr uint64_t kFloatArray = 14;
inline constexpr uint64_t kBoolArray = 15;
// Above this a type word is a type-information pointer (bit 0: array of it).
inline constexpr uint64_t kLastSimple = 17;
}  // namespace type

inline constexpr uint32_t kIndirectionFlag = 0x4000;
inline constexpr uint32_t kLockBusy = 0x80000000u;

// ---- Byte layouts --------------------------------------------------------------
struct Cell {
    uint64_t type;
    uint64_t payload;
};
static_assert(sizeof(Cell) == 16);

struct StringEntry {
    uint32_t refCount;    // 0: the host's own count of handed-out references
    uint32_t length;      // 4
    uint32_t flags;       // 8: kIndirectionFlag marks an indirection
    uint32_t hash;        // 12
    StringEntry* target;  // 16: the entry to use instead, for an indirection
    char text[8];         // 24: NUL-terminated, allocated to fit
};
static_assert(offsetof(StringEntry, flags) == 8);
static_assert(offsetof(StringEntry, target) == 16);
static_assert(offsetof(StringEntry, text) == 24);

using AnyFn = void (*)();

struct TypeInfo {
    const AnyFn* table;       // 0
    uint32_t refs;            // 8: references handed out beyond the host's own
    uint32_t kind;            // 12
    StringEntry* name;        // 16
    uint64_t formType;        // 24: object types
    const uint64_t* members;  // 32: member type words of a struct type
    uint64_t magic;           // 40
    uint32_t memberCount;     // 48
    uint32_t retired;         // 52: a redeclared struct type, no longer found by name
};
static_assert(offsetof(TypeInfo, name) == 16);
static_assert(offsetof(TypeInfo, memberCount) == 48);

struct Identifier {
    const AnyFn* table;  // 0
    TypeInfo* type;      // 8
    uint64_t magic;      // 16
    uint64_t bound;      // 24: non-zero once bound to a handle
    uint64_t handle;     // 32
    uint32_t lock;       // 40
    uint32_t pad;        // 44
};
static_assert(offsetof(Identifier, type) == 8);
static_assert(offsetof(Identifier, handle) == 32);
static_assert(offsetof(Identifier, lock) == 40);

struct ArrayData {
    uint32_t refs;         // 0
    uint32_t pad0;         // 4
    uint64_t magic;        // 8
    uint64_t elementType;  // 16
    Cell* cells;           // 24
    uint32_t capacity;     // 32
    uint32_t pad1;         // 36
    uint32_t count;        // 40
    uint32_t pad2;         // 44
};
static_assert(offsetof(ArrayData, cells) == 24);
static_assert(offsetof(ArrayData, capacity) == 32);
static_assert(offsetof(ArrayData, count) == 40);

struct StructData {
    uint32_t refs;                                                 // 0
    uint32_t memberCount;                                          // 4
    uint64_t magic;                                                // 8
    TypeInfo* type;                                                // 16
    uint64_t pad;                                                  // 24
    Cell* Members() { return reinterpret_cast<Cell*>(this + 1); }  // 32
};
static_assert(sizeof(StructData) == 32);

struct ParamEntry {
    StringEntry* name;
    uint64_t type;
};
static_assert(sizeof(ParamEntry) == 16);

// The library's function object, as far as the host reads and writes it.
struct FunctionObject {
    const AnyFn* table;         // 0
    uint64_t untouched0;        // 8
    StringEntry* functionName;  // 16
    StringEntry* className;     // 24
    StringEntry* auxName;       // 32
    uint64_t returnType;        // 40
    ParamEntry* paramEntries;   // 48
    uint16_t paramCountA;       // 56
    uint16_t paramCountB;       // 58
    uint32_t untouched1;        // 60
    uint8_t flagA;              // 64
    uint8_t flagB;              // 65
    uint16_t untouched2;        // 66
    uint32_t valueC;            // 68
    StringEntry* auxName2;      // 72
    void* callback;             // 80
};
static_assert(sizeof(FunctionObject) == function::kObjectSize);
static_assert(offsetof(FunctionObject, paramEntries) == 48);
static_assert(offsetof(FunctionObject, paramCountA) == 56);
static_assert(offsetof(FunctionObject, flagA) == 64);
static_assert(offsetof(FunctionObject, valueC) == 68);
static_assert(offsetof(FunctionObject, auxName2) == 72);
static_assert(offsetof(FunctionObject, callback) == 80);

struct StackFrame {
    void* firstField;   // 0: handed to the argument routines
    uint64_t magic;     // 8
    Cell* stackCells;   // 16: the whole stack of this call
    uint32_t position;  // 24: where this call's arguments start
    uint32_t argCount;  // 28
};
static_assert(offsetof(StackFrame, firstField) == 0);

struct PluginRecord {
    unsigned char head[0x58];
    char fileName[260];  // 0x58
};
static_assert(offsetof(PluginRecord, fileName) == 0x58);

inline constexpr std::size_t kMaxPlugins = 256;
struct PluginTable {
    uint32_t count;                      // 0
    uint32_t pad;                        // 4
    PluginRecord* plugins[kMaxPlugins];  // 8 + 8i
};
static_assert(offsetof(PluginTable, plugins) == 8);

inline constexpr std::size_t kFormIdOffset = 0x14;
inline constexpr std::size_t kFormTypeOffset = 0x1A;
inline constexpr std::size_t kFullNameOffset = 0x28;

// ---- The extender's records ------------------------------------------------------
struct PlexorInterface {
    uint32_t unused0;                      // 0
    uint32_t runtimeVersion;               // 4
    uint64_t unused8;                      // 8
    void* (*queryInterface)(uint32_t id);  // 16
    uint32_t (*getPluginHandle)();         // 24
};
static_assert(offsetof(PlexorInterface, runtimeVersion) == 4);
static_assert(offsetof(PlexorInterface, queryInterface) == 16);
static_assert(offsetof(PlexorInterface, getPluginHandle) == 24);

struct PluginDescription {
    uint32_t descriptionVersion;  // 0
    uint32_t pad;                 // 4
    const char* name;             // 8
    uint32_t version;             // 16
};
static_assert(offsetof(PluginDescription, name) == 8);
static_assert(offsetof(PluginDescription, version) == 16);

using RegistrationCallback = bool (*)(void* vm);
inline constexpr uint32_t kScriptInterfaceId = 3;
struct ScriptInterface {
    uint64_t interfaceVersion;                                // 0
    bool (*registerCallback)(RegistrationCallback callback);  // 8
};
static_assert(offsetof(ScriptInterface, registerCallback) == 8);

using QueryEntry = bool (*)(const PlexorInterface*, PluginDescription*);
using LoadEntry = bool (*)(const PlexorInterface*);

}  // namespace korvane::abi
