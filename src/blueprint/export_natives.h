#pragma once

#include <cstdint>

#include "blueprint/pending_export.h"
#include "vm/native_function.h"
#include "vm/vm_array.h"

namespace quillmere {

bool Init(StaticFunctionTag*, TESObjectREFR* player, float version, uint32_t level);
bool SaveHeader(StaticFunctionTag*, uint32_t itemCount, TESForm* worldspace, TESForm* location);
bool SaveWorkshopData(StaticFunctionTag*, TESObjectREFR* workshop, TESForm* base, float posX,
                      float posY, float posZ, float rotX, float rotY, float rotZ);
bool Save128Items(StaticFunctionTag*, VMArray<TESForm*> forms, VMArray<TESObjectREFR*> refs,
                  VMArray<float> posX, VMArray<float> posY, VMArray<float> posZ,
                  VMArray<float> rotX, VMArray<float> rotY, VMArray<float> rotZ);
bool Save128ExtraProps(StaticFunctionTag*, VMArray<uint32_t> isPowered,
                       VMArray<uint32_t> isGenerator, VMArray<uint32_t> isCreated,
                       VMArray<uint32_t> isActor, VMArray<uint32_t> isTurret,
                       VMArray<uint32_t> isFarmAnimal, VMArray<uint32_t> isTamedCreature);

// The progress lines that SaveHeader/SaveWorkshopData and the writer share.
void LogHeaderLine(const char* native, const PendingExport& record);
void LogWorkshopLine(const char* native, const PendingWorkshop& workshop);

}  // namespace quillmere
