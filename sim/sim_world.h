// The inside of the simulated host: the process-wide world behind the host
// image (heap, string cache, virtual machine objects, game state, extender
// session) and the operations the sim's own files share. Tests use
// korvane_sim.h instead.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host_abi.h"
#include "korvane_sim.h"

namespace korvane::sim {

using abi::ArrayData;
using abi::Cell;
using abi::Identifier;
using abi::StringEntry;
using abi::StructData;
using abi::TypeInfo;

// Prints "korvane-sim: host contract violated: ..." and aborts. The format
// is checked as GNU printf: MinGW builds use its own C99 printf family.
#if defined(__clang__)
[[noreturn]] void Violation(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
[[noreturn]] void Violation(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#endif

// ---- host image ----------------------------------------------------------------
// Maps the image range once (platform file) and returns its base.
uintptr_t MapImageRange();
// Makes [address, address + size) of the image writable (Windows commits the
// pages; the Linux mapping is writable throughout).
void CommitImageBytes(uintptr_t address, std::size_t size);
// Maps the image and installs the stubs and objects; idempotent.
uintptr_t EnsureImage();
template <class T>
T* ImageAt(uintptr_t offset) {
    return reinterpret_cast<T*>(EnsureImage() + offset);
}

// ---- heap -------------------------------------------------------------------------
void* HeapAllocateInternal(std::size_t size);
void HeapFreeInternal(void* block);
bool HeapIsLive(const void* block);
std::size_t HeapBlockSize(const void* block);
uint64_t HeapLiveBlocks();
void* HeapObject();
void InstallHeapRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- string cache -------------------------------------------------------------------
StringEntry* StringAcquire(std::string_view text);  // one new reference
void StringAddRef(StringEntry* entry);
void StringReleaseEntry(StringEntry* entry);
void CheckStringEntry(const StringEntry* entry, const char* what);  // live or null
std::string StringText(const StringEntry* entry);                   // follows indirections
uint64_t StringLiveRefs();
void SetIndirectionRule(IndirectionRule rule);
void InstallStringRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- type information ------------------------------------------------------------------
TypeInfo* ObjectTypeInfo(uint32_t formType);  // Form (0), ObjectReference (64); else null
struct MachineState;
TypeInfo* StructTypeInfo(const MachineState& machine, std::string_view scriptName);  // or null
bool IsTypeInfo(uint64_t word);
TypeInfo* TypeInfoOfWord(uint64_t word, const char* what);  // bit 0 cleared; checked
void TypeInfoAddRef(TypeInfo* info);  // counted towards Counters::typeInfoRefs
void TypeInfoRelease(TypeInfo* info);
uint64_t TypeInfoRefs();
void DeclareStructType(MachineState& machine, const std::string& name,
                       const std::vector<uint64_t>& memberTypes);
void ForgetStructTypes(MachineState& machine);
std::string TypeName(const TypeInfo* info);

// ---- value cells, arrays, structs -------------------------------------------------------
void CellRetainPayload(const Cell& cell);
void CellCleanUp(Cell* cell);  // releases the payload; leaves the words as they were
Cell* CellAssign(Cell* dst, const Cell* src);
uint64_t ElementTypeOf(uint64_t arrayTypeWord);                  // 0 when the word names no array
ArrayData* ArrayCreate(uint64_t arrayTypeWord, uint32_t count);  // host-side, never declined
void ArrayRetain(ArrayData* data);
void ArrayRelease(ArrayData* data);
void CheckArray(const ArrayData* data, const char* what);
uint64_t LiveArrays();
uint64_t LiveStructs();
StructData* StructCreate(TypeInfo* type);
void StructRetain(StructData* data);
void StructRelease(StructData* data);
void CheckStruct(const StructData* data, const char* what);
Cell DefaultCell(uint64_t typeWord);
void InstallValueRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- script values in cells ---------------------------------------------------------------
// Kept arrays: id -> (array type word, data holding the script's reference).
using KeptArrays = std::map<uint64_t, std::pair<uint64_t, ArrayData*>>;
// Both throw std::invalid_argument for a struct type the machine does not know.
uint64_t TypeWordOf(const MachineState& machine, const ScriptValue& v);
Cell MakeCell(const MachineState& machine, const ScriptValue& v, const KeptArrays& kept);
ScriptValue ReadCell(const Cell& cell);

// ---- handles and identifiers ---------------------------------------------------------------
uint64_t InvalidHandleValue();
uint64_t HandleFor(uint32_t formType, const Form* object);
bool HandleOfType(uint32_t typeIdOrFormType, uint64_t handle);
Form* ObjectOfHandle(uint32_t formType, uint64_t handle);
void* HandlePolicyObject();
void* BindPolicyObject();
Identifier* IdentifierFind(uint64_t handle, std::string_view typeName);  // with a hold
Identifier* IdentifierCreate(TypeInfo* type, bool fromLibrary);          // lock 1, unbound
void IdentifierBind(Identifier* id, uint64_t handle);
void IdentifierRaise(Identifier* id);
uint32_t IdentifierLower(Identifier* id);  // destroys and frees at 0
void CheckIdentifier(const Identifier* id, const char* what);
uint64_t LiveIdentifiers();
uint64_t PersistedHandles();
void InstallIdentifierRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- virtual machines
// ------------------------------------------------------------------------------ One machine per
// Host; what a machine keeps of its own.
struct MachineState {
    FaultPlan plan;
    uint64_t arrayRequests = 0, structRequests = 0, heapRequests = 0;
    std::map<std::string, TypeInfo*, std::less<>> structTypes;  // as its scripts declare them
    std::vector<RegisteredFunction> functions;                  // owned through slot 0
    CallTrace trace;
};
void* NewMachine();
void DeleteMachine(void* vm);
MachineState& MachineOf(const void* vm, const char* what);  // violation unless a live machine
// The machine whose Host is calling into the plug-in on this thread, else
// the newest live one; null when no Host lives. The VM holder in the image
// names it.
void* CurrentMachine();
// While alive, makes `vm` the current machine of this thread (nests).
class MachineScope {
  public:
    explicit MachineScope(void* vm);
    ~MachineScope();
    MachineScope(const MachineScope&) = delete;
    MachineScope& operator=(const MachineScope&) = delete;

  private:
    void* previous_;
};
void* VmHolderObject();  // the holder; its field at byte 176 is the current machine
TypeInfo* ObjectTypeByName(std::string_view name);  // Form, ObjectReference
void RegisterFunctionSlot(void* vm, void* fn);      // slot 27
void DestroyRegisteredFunctions(MachineState& machine);
void InstallNativeRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- game state
// -----------------------------------------------------------------------------------
Form* FormById(uint32_t formId);
void* PluginTableObject();
Form* GameAddForm(uint32_t formId, uint8_t formType, const std::string* fullName,
                  const std::string* displayName);
void GameSetLoadOrder(const std::vector<std::string>& pluginFileNames);
void GameReset();
void InstallGameRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs);

// ---- fault plan and book-keeping ---------------------------------------------------------------
struct Book {
    std::mutex mutex;
    Counters counters;  // the monotonic figures; live ones are computed
};
Book& TheBook();
// The script call under way on the calling thread: its stack frame and the
// trace it fills. Per thread, since scripts on several threads may each be
// inside a native at once.
struct CallUnderWay {
    const abi::StackFrame* frame = nullptr;
    CallTrace* trace = nullptr;
};
CallUnderWay& CurrentCall();
// True when the request with this (1-based) number is to be declined.
bool Declines(uint64_t at, uint64_t number, bool persistent);

// ---- the extender
// ---------------------------------------------------------------------------------
LoadReport LoadPluginLibrary(const std::string& path, const LoadOptions& options);
bool CallRegistration(void* vm);  // false when no callback was accepted
void* OpenLibrary(const std::string& path, std::string& error);
void* LibrarySymbol(void* library, const char* name);

}  // namespace korvane::sim
