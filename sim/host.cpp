// Host: one game session on top of the process-wide host image.
#include <atomic>
#include <stdexcept>

#include "sim_world.h"

namespace korvane {

using namespace sim;

namespace {
std::atomic<int> liveHosts{0};

template <class Sig>
Sig* FunctionSlot(const void* object, int slot) {
    const auto* table = *static_cast<const abi::AnyFn* const*>(object);
    return reinterpret_cast<Sig*>(table[slot]);
}

// A declared struct member holds a scalar, an object or an array of scalars;
// its type word is the one a script value of that type carries.
uint64_t MemberTypeWord(const MachineState& machine, ScriptType type) {
    switch (type) {
        case ScriptType::Int:
        case ScriptType::Float:
        case ScriptType::Bool:
        case ScriptType::String:
        case ScriptType::Form:
        case ScriptType::ObjectReference:
        case ScriptType::IntArray:
        case ScriptType::FloatArray:
        case ScriptType::StringArray: {
            ScriptValue value;
            value.type = type;
            return TypeWordOf(machine, value);
        }
        default:
            throw std::invalid_argument("unsupported struct member type");
    }
}
}  // namespace

struct Host::Impl {
    void* vm = nullptr;
    KeptArrays kept;
    uint64_t nextKept = 1;

    MachineState& Machine() const { return MachineOf(vm, "Host"); }

    // Calls `fn` as the game does: argument cells in a stack frame, slot 22,
    // a result cell that `take` reads or keeps before the argument cells are
    // cleaned up.
    template <typename Take>
    auto Run(const RegisteredFunction* fn, const std::string& className, const std::string& name,
             const std::vector<ScriptValue>& args, Take take) {
        if (!fn) {
            throw std::invalid_argument("no native " + className + "." + name + " is registered");
        }
        if (args.size() != fn->paramTypes.size()) {
            throw std::invalid_argument(className + "." + name + " takes " +
                                        std::to_string(fn->paramTypes.size()) + " arguments, not " +
                                        std::to_string(args.size()));
        }
        // The arguments sit behind other cells of the stack, so a native that
        // ignores the position reads the wrong ones.
        constexpr uint32_t kPosition = 3;
        std::vector<Cell> stack(kPosition + args.size());
        for (uint32_t i = 0; i < kPosition; ++i) stack[i] = {abi::type::kInt, 0xBADC0DE0u + i};
        MachineState& machine = Machine();
        std::size_t made = 0;
        try {
            for (; made < args.size(); ++made) {
                stack[kPosition + made] = MakeCell(machine, args[made], kept);
            }
        } catch (...) {
            for (std::size_t i = 0; i < made; ++i) CellCleanUp(&stack[kPosition + i]);
            throw;
        }
        static int stackObject = 0;
        abi::StackFrame frame{&stackObject, 0x4652414D45ULL, stack.data(), kPosition,
                              static_cast<uint32_t>(args.size())};
        Cell base{abi::type::kNone, 0};
        Cell result{abi::type::kNone, 0};
        // Scripts on other threads may be calling natives of this machine at
        // the same time: the call's frame and trace are this thread's own
        // until the call is over.
        CallTrace trace;
        CallUnderWay& call = CurrentCall();
        const CallUnderWay outer = call;
        call = {&frame, &trace};
        {
            MachineScope scope(vm);
            using RunSlot = bool(void*, Cell*, void*, uint32_t, Cell*, abi::StackFrame*);
            trace.runResult = FunctionSlot<RunSlot>(fn->object, abi::function::kRun)(
                fn->object, &base, vm, 1, &result, &frame);
        }
        call = outer;
        {
            std::lock_guard lock(TheBook().mutex);
            machine.trace = std::move(trace);
        }
        auto taken = take(result);
        for (std::size_t i = 0; i < args.size(); ++i) CellCleanUp(&stack[kPosition + i]);
        return taken;
    }
};

Host::Host() : impl_(std::make_unique<Impl>()) {
    EnsureImage();
    ObjectTypeInfo(0);  // made now, so its name's reference is not counted as a call's
    if (liveHosts.fetch_add(1) == 0) SetIndirectionRule(IndirectionRule::ByHash);
    impl_->vm = NewMachine();
}

Host::~Host() {
    MachineState& machine = impl_->Machine();
    machine.plan = FaultPlan{};
    {
        MachineScope scope(impl_->vm);
        DestroyRegisteredFunctions(machine);
    }
    for (auto& [id, kept] : impl_->kept) ArrayRelease(kept.second);
    impl_->kept.clear();
    ForgetStructTypes(machine);
    DeleteMachine(impl_->vm);
    if (liveHosts.fetch_sub(1) == 1) GameReset();
}

void Host::SetLoadOrder(std::vector<std::string> pluginFileNames) {
    GameSetLoadOrder(pluginFileNames);
}

Form* Host::AddForm(uint32_t formId, FormType type) {
    return GameAddForm(formId, static_cast<uint8_t>(type), nullptr, nullptr);
}

Form* Host::AddLocation(uint32_t formId, std::optional<std::string> fullName) {
    return GameAddForm(formId, static_cast<uint8_t>(FormType::Location),
                       fullName ? &*fullName : nullptr, nullptr);
}

ObjectReference* Host::AddReference(uint32_t formId, std::optional<std::string> displayName) {
    return static_cast<ObjectReference*>(
        GameAddForm(formId, static_cast<uint8_t>(FormType::ObjectReference), nullptr,
                    displayName ? &*displayName : nullptr));
}

void Host::DeclareStruct(const std::string& scriptName, std::vector<ScriptType> memberTypes) {
    MachineState& machine = impl_->Machine();
    std::vector<uint64_t> words;
    for (ScriptType t : memberTypes) words.push_back(MemberTypeWord(machine, t));
    DeclareStructType(machine, scriptName, words);
}

void Host::DeclareQuillmereStructs() {
    using T = ScriptType;
    const T S = T::String, I = T::Int, F = T::Float;
    DeclareStruct("Quillmere#BlueprintHeader", {S, I, S, F, S, S, I, S, S});
    DeclareStruct("Quillmere#WorkshopData", {S, I, I, S, F, F, F, F, F, F});
    DeclareStruct("Quillmere#SettlementItem", {S, S, I, S, F, F, F, F, F, F});
    DeclareStruct("Quillmere#ExtraProperties", {I, I, I, I, I, I, I});
    DeclareStruct("Quillmere#MyStruct", {S, S, I, I});
}

LoadReport Host::LoadPlugin(const std::string& path, const LoadOptions& options) {
    MachineScope scope(impl_->vm);
    return LoadPluginLibrary(path, options);
}

bool Host::Register() {
    MachineScope scope(impl_->vm);
    return CallRegistration(impl_->vm);
}

const std::vector<RegisteredFunction>& Host::Functions() const {
    return impl_->Machine().functions;
}

const RegisteredFunction* Host::FindFunction(const std::string& className,
                                             const std::string& name) const {
    const auto& functions = impl_->Machine().functions;
    // The latest registration of a name wins, as a re-registration replaces.
    for (auto it = functions.rbegin(); it != functions.rend(); ++it) {
        if (it->className == className && it->name == name) return &*it;
    }
    return nullptr;
}

ScriptValue Host::Call(const std::string& className, const std::string& name,
                       const std::vector<ScriptValue>& args) {
    return impl_->Run(FindFunction(className, name), className, name, args, [](Cell& result) {
        ScriptValue value = ReadCell(result);
        CellCleanUp(&result);
        return value;
    });
}

ScriptArray Host::CallKeepingArray(const std::string& className, const std::string& name,
                                   const std::vector<ScriptValue>& args) {
    return impl_->Run(FindFunction(className, name), className, name, args, [&](Cell& result) {
        const uint64_t word = result.type;
        const bool array = word == abi::type::kStringArray || word == abi::type::kIntArray ||
                           word == abi::type::kFloatArray ||
                           (word > abi::type::kLastSimple && (word & 1) != 0);
        if (!array || result.payload == 0) {
            CellCleanUp(&result);
            return ScriptArray{};
        }
        // The result cell's reference passes to the script variable.
        const uint64_t id = impl_->nextKept++;
        impl_->kept.emplace(id, std::pair(word, reinterpret_cast<ArrayData*>(result.payload)));
        return ScriptArray{id};
    });
}

const CallTrace& Host::LastCall() const {
    return impl_->Machine().trace;
}

ScriptArray Host::KeepArray(const ScriptValue& array) {
    if (!array.IsArray() || array.isNone || array.held.id) {
        throw std::invalid_argument("KeepArray takes an array value that is not None");
    }
    Cell cell = MakeCell(impl_->Machine(), array, impl_->kept);
    const uint64_t id = impl_->nextKept++;
    impl_->kept.emplace(id, std::pair(cell.type, reinterpret_cast<ArrayData*>(cell.payload)));
    return ScriptArray{id};
}

ScriptValue Host::Read(ScriptArray array) const {
    auto it = impl_->kept.find(array.id);
    if (it == impl_->kept.end()) throw std::invalid_argument("no such kept array");
    return ReadCell({it->second.first, reinterpret_cast<uint64_t>(it->second.second)});
}

ArrayStorage Host::Storage(ScriptArray array) const {
    auto it = impl_->kept.find(array.id);
    if (it == impl_->kept.end()) throw std::invalid_argument("no such kept array");
    const ArrayData* data = it->second.second;
    CheckArray(data, "reading a kept array");
    return {data->count, data->capacity, reinterpret_cast<uintptr_t>(data)};
}

void Host::Drop(ScriptArray array) {
    auto it = impl_->kept.find(array.id);
    if (it == impl_->kept.end()) return;
    ArrayRelease(it->second.second);
    impl_->kept.erase(it);
}

void Host::SetFaults(const FaultPlan& plan) {
    MachineState& machine = impl_->Machine();
    std::lock_guard lock(TheBook().mutex);
    machine.plan = plan;
    machine.arrayRequests = machine.structRequests = machine.heapRequests = 0;
}

Counters Host::GetCounters() const {
    Counters c;
    {
        Book& book = TheBook();
        std::lock_guard lock(book.mutex);
        c = book.counters;
    }
    c.liveHeapBlocks = HeapLiveBlocks();
    c.liveStringRefs = StringLiveRefs();
    c.liveIdentifiers = LiveIdentifiers();
    c.liveArrays = LiveArrays();
    c.liveStructs = LiveStructs();
    c.typeInfoRefs = TypeInfoRefs();
    c.persistedHandles = PersistedHandles();
    return c;
}

void Host::SetIndirection(IndirectionRule rule) {
    SetIndirectionRule(rule);
}

void* Host::VirtualMachine() const {
    return impl_->vm;
}

uintptr_t Host::ImageBase() {
    return EnsureImage();
}

}  // namespace korvane
