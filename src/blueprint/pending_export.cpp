#include "blueprint/pending_export.h"

namespace quillmere {

void PendingExport::Reset() {
    item_count = 0;
    worldspace_id.clear();
    worldspace_id_dec = 0;
    worldspace_name = "Unknown Worldspace";
    worldspace_plugin = kBaseMaster;
    workshop = PendingWorkshop{};
    settlement_name = "Unknown Settlement";
    items = PendingItems{};
    plugins_required.clear();
    plugins_required.emplace_back(kBaseMaster);
}

PendingExportAccess LockPendingExport() {
    static std::mutex mutex;
    // Never destroyed: it holds host string references, and the host may be
    // gone by the time static destructors run at process exit.
    static PendingExport* record = new PendingExport();
    return PendingExportAccess{std::unique_lock<std::mutex>(mutex), *record};
}

}  // namespace quillmere
