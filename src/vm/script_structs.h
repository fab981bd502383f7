// The five script structs of the Quillmere script, as its scripts declare
// them: member order and types must match the declarations exactly, since
// members are filled by position.
#pragma once

#include <cstdint>

#include "vm/bs_fixed_string.h"
#include "vm/vm_struct.h"

namespace quillmere {

inline constexpr char StructName_BlueprintHeader[] = "Quillmere#BlueprintHeader";
inline constexpr char StructName_WorkshopData[] = "Quillmere#WorkshopData";
inline constexpr char StructName_SettlementItem[] = "Quillmere#SettlementItem";
inline constexpr char StructName_ExtraProperties[] = "Quillmere#ExtraProperties";
inline constexpr char StructName_MyStruct[] = "Quillmere#MyStruct";

// export_date, item_count, player_name, plugin_version, settlement_name,
// worldspace_id, worldspace_id_dec, worldspace_name, worldspace_plugin
using BlueprintHeader =
    VMStruct9<StructName_BlueprintHeader, BSFixedString, uint32_t, BSFixedString, float,
              BSFixedString, BSFixedString, uint32_t, BSFixedString, BSFixedString>;

// workshop_id, workshop_id_dec, workshop_baseid_dec, workshop_plugin,
// posX, posY, posZ, rotX, rotY, rotZ
using WorkshopData = VMStruct10<StructName_WorkshopData, BSFixedString, uint32_t, uint32_t,
                                BSFixedString, float, float, float, float, float, float>;

// plugin_name, FormID, FormID_dec, name, posX, posY, posZ, rotX, rotY, rotZ
using SettlementItem = VMStruct10<StructName_SettlementItem, BSFixedString, BSFixedString, uint32_t,
                                  BSFixedString, float, float, float, float, float, float>;

// isPowered, isGenerator, isCreated, isActor, isTurret, isFarmAnimal, isTamedCreature
using ExtraProperties = VMStruct7<StructName_ExtraProperties, uint32_t, uint32_t, uint32_t,
                                  uint32_t, uint32_t, uint32_t, uint32_t>;

// The test natives' struct: two texts, two numbers.
using MyStruct = VMStruct4<StructName_MyStruct, BSFixedString, BSFixedString, uint32_t, uint32_t>;

}  // namespace quillmere
