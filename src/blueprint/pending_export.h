// The pending export: one process-wide record that scripts fill piece by
// piece (Init, SaveHeader, SaveWorkshopData, then batches of items) before
// StoreDataToBlueprint writes it as a blueprint file.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "forms/form_identity.h"
#include "vm/bs_fixed_string.h"

namespace quillmere {

struct PendingWorkshop {
    std::string id;
    int32_t id_dec = 0;
    int32_t baseid_dec = 0;
    std::string plugin = kBaseMaster;
    float posX = 0, posY = 0, posZ = 0, rotX = 0, rotY = 0, rotZ = 0;
};

// One entry per item in every list; entry k of each belongs to item k of the
// export, across all batches.
struct PendingItems {
    std::vector<BSFixedString> plugin_name, FormID, name;
    std::vector<uint32_t> FormID_dec;
    std::vector<float> posX, posY, posZ, rotX, rotY, rotZ;
    std::vector<uint32_t> isPowered, isGenerator, isCreated, isActor, isTurret, isFarmAnimal,
        isTamedCreature;
};

struct PendingExport {
    std::string player_name = "Player";
    std::string export_date;
    uint32_t item_count = 0;
    std::string settlement_name = "Unknown Settlement";
    std::string worldspace_id;
    int32_t worldspace_id_dec = 0;
    std::string worldspace_name = "Unknown Worldspace";
    std::string worldspace_plugin = kBaseMaster;
    std::vector<BSFixedString> plugins_required;
    PendingWorkshop workshop;
    PendingItems items;

    // Starts a new export: every field but export_date and player_name.
    void Reset();
};

// The record and the lock every export native holds while it reads or
// changes it, so two scripts exporting at once cannot tear it apart.
struct PendingExportAccess {
    std::unique_lock<std::mutex> lock;
    PendingExport& record;
};
PendingExportAccess LockPendingExport();

}  // namespace quillmere
