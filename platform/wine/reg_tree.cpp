// Sub-key lookup and insertion of the in-memory registry tree.
#include "platform/wine/reg_tree.h"

#include <algorithm>
#include <chrono>

#include "platform/wine/reg_text.h"

namespace korvex::wine {

namespace {

template <class Children>
auto lowerBound(Children& children, std::u16string_view folded) {
    return std::lower_bound(children.begin(), children.end(), folded,
                            [](const std::unique_ptr<RegKey>& k, std::u16string_view f) {
                                return CompareFolded(k->folded, f) < 0;
                            });
}

}  // namespace

RegKey* RegKey::findChild(std::u16string_view foldedName) const {
    auto it = lowerBound(children, foldedName);
    if (it != children.end() && (*it)->folded == foldedName) return it->get();
    return nullptr;
}

RegKey* RegKey::child(std::u16string_view childName, bool* added) {
    std::u16string f = Fold(childName);
    if (added) *added = false;
    // Files list keys in order, so the new key usually goes last.
    auto it = children.end();
    if (!children.empty() && CompareFolded(children.back()->folded, f) >= 0) {
        it = lowerBound(children, f);
        if (it != children.end() && (*it)->folded == f) return it->get();
    }
    auto key = std::make_unique<RegKey>();
    key->name = childName;
    key->folded = std::move(f);
    key->parent = this;
    if (added) *added = true;
    return children.insert(it, std::move(key))->get();
}

RegValue* RegKey::findValue(std::u16string_view valueName) {
    for (auto& v : values)
        if (NamesEqual(v.name, valueName)) return &v;
    return nullptr;
}

std::uint64_t FileTimeNow() {
    using namespace std::chrono;
    auto since1970 = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
    return static_cast<std::uint64_t>(since1970) + kUnixEpochTicks;
}

}  // namespace korvex::wine
