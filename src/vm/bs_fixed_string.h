// A handle to one entry of the host's string cache. Every string that crosses
// the script boundary is one. The handle owns one cache reference and gives it
// back when it dies, so the library leaves no reference behind; copies take
// references of their own.
#pragma once

#include <string>
#include <string_view>

#include "vm/host_interface.h"

namespace quillmere {

class BSFixedString {
  public:
    BSFixedString() : BSFixedString("") {}
    explicit BSFixedString(const char* text) { host::StringFromText(&entry_, text); }
    explicit BSFixedString(const std::string& text) : BSFixedString(text.c_str()) {}
    BSFixedString(const BSFixedString& other) : BSFixedString(other.c_str()) {}
    BSFixedString(BSFixedString&& other) noexcept : entry_(other.entry_) { other.entry_ = nullptr; }
    BSFixedString& operator=(const BSFixedString& other) {
        if (this != &other) {
            BSFixedString copy(other);
            Swap(copy);
        }
        return *this;
    }
    BSFixedString& operator=(BSFixedString&& other) noexcept {
        Swap(other);
        return *this;
    }
    ~BSFixedString() { Release(); }

    // Text of the entry, following indirections; "" for an empty handle.
    const char* c_str() const { return host::StringText(entry_); }
    std::string_view view() const { return c_str(); }
    // Cached-string identity: the host decides which texts are the same.
    bool SameEntry(const BSFixedString& other) const { return entry_ == other.entry_; }
    StringCacheEntry* entry() const { return entry_; }
    StringCacheEntry* const* handle() const { return &entry_; }

    void Release() {
        if (entry_ != nullptr) host::StringRelease(&entry_);
        entry_ = nullptr;
    }

  private:
    void Swap(BSFixedString& other) noexcept {
        StringCacheEntry* t = entry_;
        entry_ = other.entry_;
        other.entry_ = t;
    }
    StringCacheEntry* entry_ = nullptr;
};
static_assert(sizeof(BSFixedString) == sizeof(void*), "a string handle is one pointer");

}  // namespace quillmere
