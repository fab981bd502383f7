// The hexadecimal text of a form's local id, as blueprints and log lines
// carry it.
#pragma once

#include <cstdint>
#include <string>

namespace quillmere {

// The low 24 bits of `formId` (the id within its plugin) as "%06X": six
// upper-case hexadecimal digits, zero-padded (0x81000800 gives "000800").
std::string LocalIdText(uint32_t formId);

}  // namespace quillmere
