// The world lists: ordered items with a current position.
//
// Adding inserts after the current item (at the front when there is none)
// and makes the new item current. A walk goes from the first item to the
// last and leaves the last one current, so adding after a complete walk
// appends. Removing the current item makes its predecessor current (none
// when it was the first), so the walk goes on with the item that followed.
#pragma once

#include <cstdint>
#include <vector>

struct WorldItem {
  int32_t x;     // world column (shots and rockets: screen column)
  int32_t y;     // world row
  int32_t code;  // cell code, or the direction kind of a shot or rocket
};

class WorldList {
 public:
  void Add(int32_t x, int32_t y, int32_t code) {
    items_.insert(items_.begin() + (current_ + 1), WorldItem{x, y, code});
    current_++;
  }

  // Starts a walk: the first item, or null for an empty list.
  WorldItem* First() {
    current_ = items_.empty() ? -1 : 0;
    return Current();
  }
  // The item after the current one; null at the end, leaving the last current.
  WorldItem* Next() {
    if (current_ + 1 >= int(items_.size())) return nullptr;
    current_++;
    return Current();
  }
  WorldItem* Current() { return current_ < 0 ? nullptr : &items_[size_t(current_)]; }

  void RemoveCurrent() {
    if (current_ < 0) return;
    items_.erase(items_.begin() + current_);
    current_--;
  }
  void Clear() {
    items_.clear();
    current_ = -1;
  }

  int Size() const { return int(items_.size()); }
  const WorldItem& operator[](int i) const { return items_[size_t(i)]; }

 private:
  std::vector<WorldItem> items_;
  int current_ = -1;  // -1: no current item
};
