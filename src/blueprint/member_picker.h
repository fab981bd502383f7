// Reads several members of one JSON object in a single pass. jsoncpp keeps
// an object's members ordered by the bytes of their names, so members wanted
// in that same order are met one after the other; looking each one up from
// the top instead costs several name comparisons per member, which adds up
// over the thousands of items of a blueprint.
#pragma once

#include <json/value.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace quillmere {

template <std::size_t N>
class MemberPicker {
  public:
    // `names`: the members wanted, in the order the caller wants them.
    explicit MemberPicker(const std::array<std::string_view, N>& names) : names_(names) {
        for (std::size_t k = 0; k < N; ++k) order_[k] = k;
        std::sort(order_.begin(), order_.end(),
                  [&](std::size_t a, std::size_t b) { return names_[a] < names_[b]; });
    }

    // The members of `object` in the order of the names; the null value for
    // a member that is absent, and for every member of a null. A value that
    // is neither an object nor null is refused as a member look-up refuses
    // it, with Json::LogicError.
    std::array<const Json::Value*, N> Pick(const Json::Value& object) const {
        std::array<const Json::Value*, N> values;
        values.fill(&Json::Value::nullSingleton());
        if (!object.isObject()) {
            const std::string_view first = names_[0];
            object.find(first.data(), first.data() + first.size());  // throws unless null
            return values;
        }
        std::size_t next = 0;  // position in order_ of the next name looked for
        for (auto it = object.begin(); it != object.end() && next < N; ++it) {
            const char* end = nullptr;
            const char* begin = it.memberName(&end);
            const std::string_view name(begin, static_cast<std::size_t>(end - begin));
            while (next < N && names_[order_[next]] < name) ++next;  // not in the object
            if (next < N && names_[order_[next]] == name) values[order_[next++]] = &*it;
        }
        return values;
    }

  private:
    std::array<std::string_view, N> names_;
    std::array<std::size_t, N> order_{};
};

}  // namespace quillmere
