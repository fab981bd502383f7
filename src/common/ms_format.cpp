#include "common/ms_format.h"

#include <cstring>

namespace quillmere {
namespace {

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Appends to a bounded buffer; false once something did not fit.
class Writer {
  public:
    Writer(char* out, std::size_t size) : out_(out), size_(size) {}
    bool Put(const char* text, std::size_t length) {
        if (length >= size_ - used_) return false;
        std::memcpy(out_ + used_, text, length);
        used_ += length;
        return true;
    }
    std::size_t Mark() const { return used_; }
    void Finish(std::size_t length) { out_[length] = '\0'; }

  private:
    char* out_;
    std::size_t size_;
    std::size_t used_ = 0;
};

}  // namespace

const char* TranslateMsFormat(const char* format, char* scratch, std::size_t size) {
    if (std::strchr(format, 'I') == nullptr || size == 0) return format;
    Writer writer(scratch, size);
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            if (!writer.Put(p, 1)) break;
            ++p;
            continue;
        }
        // One conversion: written whole or not at all.
        const std::size_t start = writer.Mark();
        const char* conversion = p++;
        p += std::strspn(p, "-+ #0'");
        p += std::strspn(p, "0123456789*");
        if (*p == '.') p += 1 + std::strspn(p + 1, "0123456789*");
        bool fits = writer.Put(conversion, static_cast<std::size_t>(p - conversion));
        if (StartsWith(p, "I64")) {
            fits = fits && writer.Put("ll", 2);
            p += 3;
        } else if (StartsWith(p, "I32")) {
            p += 3;
        } else if (*p == 'I') {
            fits = fits && writer.Put("z", 1);
            p += 1;
        }
        // The conversion character itself ("%%" included).
        if (*p != '\0') {
            fits = fits && writer.Put(p, 1);
            ++p;
        }
        if (!fits) {
            writer.Finish(start);
            return scratch;
        }
    }
    writer.Finish(writer.Mark());
    return scratch;
}

}  // namespace quillmere
