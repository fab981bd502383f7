#include "forms/form_text.h"

namespace quillmere {

std::string LocalIdText(uint32_t formId) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kHexDigits[formId & 0x0F];
        formId >>= 4;
    }
    return text;
}

}  // namespace quillmere
