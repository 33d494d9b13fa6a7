// The object table; see MetafileObjects.h. Only live objects take memory, so
// a file that declares a large table costs nothing for it.
#include "platform/MetafileObjects.h"

#include <algorithm>

namespace platform {

ObjectTable::ObjectTable(std::size_t capacity) : capacity_(std::min(capacity, kMaxObjects)) {}

bool ObjectTable::AddToLowestFree(MetafileObject object) {
    std::size_t index = used_;
    if (!holes_.empty()) {
        index = *holes_.begin();
        holes_.erase(holes_.begin());
    } else if (used_ < capacity_) {
        ++used_;
    } else {
        return false;
    }
    live_.insert_or_assign(index, std::move(object));
    return true;
}

bool ObjectTable::Put(std::size_t index, MetafileObject object) {
    if (index >= capacity_)
        return false;
    live_.insert_or_assign(index, std::move(object));
    return true;
}

const MetafileObject* ObjectTable::Get(std::size_t index) const {
    const auto found = live_.find(index);
    return found == live_.end() ? nullptr : &found->second;
}

void ObjectTable::Remove(std::size_t index) {
    if (live_.erase(index) != 0 && index < used_)
        holes_.insert(index);
}

} // namespace platform
