// Every raw fact the library shares with the game: the offsets of host
// routines and objects from the game's main module, the slots of the
// virtual machine's and the handle policy's operations, and the byte
// layouts the library reads and writes. Nothing else in the library writes
// a raw offset or slot number; everything goes through the typed helpers
// below. (These facts belong to one game release.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillmere {

struct VirtualMachine;  // the host's script virtual machine (opaque)
struct HandlePolicy;    // the host's object-handle policy (opaque)
struct TypeInfo;        // host type information (opaque; fields below)
struct Identifier;      // host object identifier (opaque; fields below)
struct ArrayData;       // host array data (opaque; fields below)
struct StructData;      // host struct data (opaque; fields below)
struct StringCacheEntry;
struct StackFrame;
struct VMValue;

// Game forms are only ever borrowed pointers into the host.
struct TESForm {};
struct TESObjectREFR : TESForm {};

namespace host {

// ---- Routines and objects at hostBase + offset ------------------------------
namespace offset {
inline constexpr uintptr_t HeapAllocate = 0x1AF13D0;         // (heap, size, 0, false) -> block
inline constexpr uintptr_t HeapFree = 0x1AF16E0;             // (heap, block, false)
inline constexpr uintptr_t StringFromText = 0x1B19A50;       // (handle*, text) -> handle*
inline constexpr uintptr_t StringSetText = 0x1B19B80;        // (handle* in place, text) -> handle*
inline constexpr uintptr_t StringRelease = 0x1B1ACE0;        // (handle*)
inline constexpr uintptr_t ValueCleanUp = 0x26A22D0;         // (cell*)
inline constexpr uintptr_t ValueAssign = 0x26A2920;          // (dst*, src*) -> dst*
inline constexpr uintptr_t BindIdentifier = 0x2695530;       // (bind policy, identifier, handle)
inline constexpr uintptr_t DestroyIdentifier = 0x269D910;    // (identifier)
inline constexpr uintptr_t ReferenceDisplayName = 0x4095A0;  // (reference) -> text or null
inline constexpr uintptr_t NativeInit = 0x26BF3C0;           // (fn, name, class, static, count)
inline constexpr uintptr_t NativeTeardown = 0x26BF5E0;       // (fn)
inline constexpr uintptr_t ParamInfo = 0x26BF770;            // (table, index, name*, type*)
inline constexpr uintptr_t NativeForward = 0x26BEEC0;        // (fn, a, b, c, d)
inline constexpr uintptr_t NativeQuery = 0x26BED90;          // (fn)
inline constexpr uintptr_t NativeQueryIndexed = 0x26BEDB0;   // (fn, number, address)
inline constexpr uintptr_t ArgumentOffset = 0x26B5970;  // (frame first field, frame) -> position
inline constexpr uintptr_t ArgumentValue = 0x26B59D0;   // (first, frame, index, position) -> cell*

inline constexpr uintptr_t Heap = 0x3857C00;                  // the heap object itself
inline constexpr uintptr_t VirtualMachineHolder = 0x585ED58;  // pointer to the holder
inline constexpr uintptr_t GlobalHandlePolicy = 0x679C210;    // pointer to the policy
inline constexpr uintptr_t LoadedPlugins = 0x585A300;         // pointer to the plugin table
}  // namespace offset

// ---- Operation slots ---------------------------------------------------------
namespace vm_slot {
inline constexpr std::size_t LookupObjectType = 9;
inline constexpr std::size_t TypeIdOfName = 12;
inline constexpr std::size_t LookupStructType = 19;
inline constexpr std::size_t NewIdentifier = 23;
inline constexpr std::size_t NewStruct = 24;
inline constexpr std::size_t NewArray = 25;
inline constexpr std::size_t RegisterFunction = 27;
inline constexpr std::size_t FindIdentifier = 31;
inline constexpr std::size_t HandlePolicy = 51;
inline constexpr std::size_t BindPolicy = 53;
}  // namespace vm_slot

namespace policy_slot {
inline constexpr std::size_t HandleIsType = 1;
inline constexpr std::size_t HandleIsValid = 3;
inline constexpr std::size_t InvalidHandle = 6;
inline constexpr std::size_t MakeHandle = 7;
inline constexpr std::size_t ObjectForHandle = 12;
inline constexpr std::size_t PersistHandle = 13;
inline constexpr std::size_t ReleaseHandle = 14;
}  // namespace policy_slot

namespace type_slot {
inline constexpr std::size_t AddRef = 1;
inline constexpr std::size_t Release = 2;
inline constexpr std::size_t Kind = 3;
}  // namespace type_slot

// ---- Byte layouts --------------------------------------------------------------
namespace layout {
inline constexpr std::size_t VMHolderMachine = 176;         // VirtualMachine* in the holder
inline constexpr std::size_t StringEntryFlags = 8;          // u32
inline constexpr uint32_t StringEntryIndirection = 0x4000;  // flag: use the entry at +16
inline constexpr std::size_t StringEntryTarget = 16;        // StringCacheEntry*
inline constexpr std::size_t StringEntryText = 24;          // NUL-terminated bytes
inline constexpr std::size_t TypeInfoName = 16;             // StringCacheEntry*
inline constexpr std::size_t TypeInfoMemberCount = 48;      // u32
inline constexpr std::size_t IdentifierType = 8;            // TypeInfo*
inline constexpr std::size_t IdentifierHandle = 32;         // u64
inline constexpr std::size_t IdentifierLock = 40;           // u32
inline constexpr std::size_t ArrayCells = 24;               // VMValue*
inline constexpr std::size_t ArrayCapacity = 32;            // u32
inline constexpr std::size_t ArrayCount = 40;               // u32
inline constexpr std::size_t StructCells = 32;              // VMValue[]
inline constexpr std::size_t FormId = 0x14;                 // u32
inline constexpr std::size_t FormTypeCode = 0x1A;           // u8
inline constexpr std::size_t LocationFullName = 0x28;       // StringCacheEntry*, null when none
inline constexpr std::size_t PluginCount = 0;               // u32
inline constexpr std::size_t PluginEntries = 8;             // plugin*[256]
inline constexpr std::size_t PluginFileName = 0x58;         // NUL-terminated bytes
inline constexpr std::size_t MaxPlugins = 256;
}  // namespace layout

// Type-information kind of an object type (a script type standing for game
// objects); struct types report another kind.
inline constexpr uint32_t KindObject = 1;
// Form types the library converts.
inline constexpr uint32_t FormTypeForm = 0;
inline constexpr uint32_t FormTypeReference = 64;
// Only a location keeps its full name where LocationFullName reads it.
inline constexpr uint8_t FormTypeLocation = 104;

// hostBase: the game's main module, taken once at static initialisation.
uintptr_t Base();

// ---- Typed access ---------------------------------------------------------------
template <typename T>
T Read(const void* object, std::size_t byteOffset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(object) + byteOffset, sizeof(T));
    return value;
}
template <typename T>
void Write(void* object, std::size_t byteOffset, T value) {
    std::memcpy(static_cast<unsigned char*>(object) + byteOffset, &value, sizeof(T));
}
template <typename T>
T* FieldAddress(void* object, std::size_t byteOffset) {
    return reinterpret_cast<T*>(static_cast<unsigned char*>(object) + byteOffset);
}

template <typename Fn>
Fn Routine(uintptr_t off) {
    return reinterpret_cast<Fn>(Base() + off);
}

// Calls operation `slot` of a host object whose table pointer is at byte 0.
template <typename R, typename Object, typename... Args>
R CallSlot(Object* object, std::size_t slot, Args... args) {
    void* const* table = *reinterpret_cast<void* const* const*>(object);
    return reinterpret_cast<R (*)(Object*, Args...)>(table[slot])(object, args...);
}

// Heap
void* HeapAllocate(std::size_t size);
void HeapFree(void* block);

// String cache (a handle is one StringCacheEntry*)
void StringFromText(StringCacheEntry** handle, const char* text);
void StringSetText(StringCacheEntry** handle, const char* text);
void StringRelease(StringCacheEntry** handle);
const char* StringText(const StringCacheEntry* entry);  // follows indirections; "" for null

// Value cells
void ValueCleanUp(VMValue* cell);
void ValueAssign(VMValue* destination, const VMValue* source);

// Virtual machine
VirtualMachine* CurrentMachine();  // the holder's machine, for writes through to bound data
bool LookupObjectType(VirtualMachine* vm, uint32_t formType, TypeInfo** out);
bool TypeIdOfName(VirtualMachine* vm, StringCacheEntry* const* name, uint32_t* typeId);
bool LookupStructType(VirtualMachine* vm, StringCacheEntry* const* name, TypeInfo** out);
bool NewIdentifier(VirtualMachine* vm, StringCacheEntry* const* typeName, Identifier** out);
bool NewStruct(VirtualMachine* vm, StringCacheEntry* const* name, StructData** out);
bool NewArray(VirtualMachine* vm, const VMValue* cell, uint32_t count, ArrayData** out);
void RegisterFunction(VirtualMachine* vm, void* function);
bool FindIdentifier(VirtualMachine* vm, uint64_t handle, const char* typeName, Identifier** out);
HandlePolicy* MachineHandlePolicy(VirtualMachine* vm);
void* BindPolicy(VirtualMachine* vm);

// Handle policy: the host's global one.
HandlePolicy* GlobalHandlePolicy();
bool HandleIsType(HandlePolicy* policy, uint32_t typeIdOrFormType, uint64_t handle);
bool HandleIsValid(HandlePolicy* policy, uint64_t handle);
uint64_t InvalidHandle(HandlePolicy* policy);
uint64_t MakeHandle(HandlePolicy* policy, uint32_t formType, const void* object);
void* ObjectForHandle(HandlePolicy* policy, uint32_t formType, uint64_t handle);
void PersistHandle(HandlePolicy* policy, uint64_t handle);
void ReleaseHandle(HandlePolicy* policy, uint64_t handle);

// Identifiers
void BindIdentifier(void* bindPolicy, Identifier* identifier, uint64_t handle);
void DestroyIdentifier(Identifier* identifier);

// Type information
void TypeAddRef(TypeInfo* type);
void TypeRelease(TypeInfo* type);
uint32_t TypeKind(TypeInfo* type);

// Forms and plugins
uint32_t FormId(const TESForm* form);
uint8_t FormTypeOf(const TESForm* form);
const char* ReferenceDisplayName(TESObjectREFR* reference);   // null when it has none
StringCacheEntry* LocationFullName(const TESForm* location);  // null when it has none
uint32_t LoadedPluginCount();
const char* LoadedPluginName(uint32_t loadOrderIndex);  // null when no plugin is loaded there

}  // namespace host
}  // namespace quillmere

namespace quillmere::host {
// Native-function object routines (the host's half of every function object).
void NativeInit(void* function, const char* name, const char* className, bool isStatic,
                uint32_t paramCount);
void NativeTeardown(void* function);
bool ParamInfo(void* paramTable, uint32_t index, StringCacheEntry** nameOut, uint64_t* typeOut);
uint32_t NativeForward(void* function, uint64_t a, uint64_t b, uint64_t c, uint64_t d);
uint32_t NativeQuery(void* function);
bool NativeQueryIndexed(void* function, uint32_t number, void* address);
uint32_t ArgumentOffset(StackFrame* frame);
VMValue* ArgumentValue(StackFrame* frame, uint32_t index, uint32_t position);
}  // namespace quillmere::host
