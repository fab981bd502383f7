// A game holding one small settlement, Sanctuary Hills with two items, and
// the export natives called for it as the mod's scripts call them. Shared by
// the tests that need a whole export but test something else: faults,
// threads.
#pragma once

#include <string>

#include "plugin_fixture.h"

namespace quillmere_test {

class SettlementTest : public PluginTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Init with no player: releases everything the pending export holds.
    void Reset();
    // Every export native before the store, with progress lines (which go
    // through the same paths as errors). `who` is the player, by default the
    // settlement's own.
    void PrepareExport(korvane::ObjectReference* who = nullptr);
    // StoreDataToBlueprint into a slot folder; its Bool result.
    bool Store(const std::string& slotFolder);

    // Every form exists before a test starts: adding forms is the test's
    // doing, not a script's.
    korvane::ObjectReference* player = nullptr;
    korvane::Form* worldspace = nullptr;
    korvane::Form* location = nullptr;
    korvane::ObjectReference* workshop = nullptr;
    korvane::Form* chair = nullptr;
    korvane::Form* generator = nullptr;
    korvane::ObjectReference* chairRef = nullptr;
};

}  // namespace quillmere_test
