// The world lists: adding after the current item, and walks that go on with
// the item that followed a removed one, wherever it stood.
#include <gtest/gtest.h>

#include <vector>

#include "game/worldlist.h"

namespace {

std::vector<int> Codes(WorldList& list) {
  std::vector<int> codes;
  for (WorldItem* i = list.First(); i; i = list.Next()) codes.push_back(i->code);
  return codes;
}

WorldList ListOf(std::initializer_list<int> codes) {
  WorldList list;
  for (int c : codes) list.Add(0, 0, c);
  return list;
}

TEST(WorldList, AddingInARowAndAfterACompleteWalkAppends) {
  WorldList list = ListOf({1, 2, 3});
  EXPECT_EQ(Codes(list), (std::vector<int>{1, 2, 3}));
  list.Add(7, 8, 4);  // the walk left the last item current
  EXPECT_EQ(Codes(list), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(list[3].x, 7);
  EXPECT_EQ(list[3].y, 8);
}

TEST(WorldList, AddingInsertsAfterTheCurrentItemAndMakesItCurrent) {
  WorldList list = ListOf({1, 2, 3});
  list.First();
  list.Add(0, 0, 9);
  ASSERT_EQ(list.Current()->code, 9);
  list.Add(0, 0, 10);
  EXPECT_EQ(Codes(list), (std::vector<int>{1, 9, 10, 2, 3}));
}

TEST(WorldList, RemovingDuringAWalkGoesOnWithTheFollowingItem) {
  struct Case {
    const char* name;
    int removed;
    std::vector<int> visited, left;
  };
  const Case cases[] = {
      {"first", 1, {1, 2, 3, 4}, {2, 3, 4}},
      {"middle", 3, {1, 2, 3, 4}, {1, 2, 4}},
      {"last", 4, {1, 2, 3, 4}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WorldList list = ListOf({1, 2, 3, 4});
    std::vector<int> visited;
    for (WorldItem* i = list.First(); i; i = list.Next()) {
      visited.push_back(i->code);
      if (i->code == c.removed) list.RemoveCurrent();
    }
    EXPECT_EQ(visited, c.visited);
    EXPECT_EQ(Codes(list), c.left);
    // The last item is current again, so the next one is appended.
    list.Add(0, 0, 5);
    EXPECT_EQ(Codes(list).back(), 5);
  }
}

TEST(WorldList, RemovingEveryItemOfAWalkEmptiesTheList) {
  WorldList list = ListOf({1, 2, 3});
  int visited = 0;
  for (WorldItem* i = list.First(); i; i = list.Next()) {
    visited++;
    list.RemoveCurrent();
  }
  EXPECT_EQ(visited, 3);
  EXPECT_EQ(list.Size(), 0);
  EXPECT_EQ(list.First(), nullptr);
  list.Add(0, 0, 6);  // no current item: at the front
  EXPECT_EQ(Codes(list), (std::vector<int>{6}));
}

TEST(WorldList, AWalkStoppedEarlyLeavesItsPositionForTheNextAdd) {
  WorldList list = ListOf({1, 2, 3});
  for (WorldItem* i = list.First(); i; i = list.Next()) {
    if (i->code == 2) {
      list.RemoveCurrent();  // 1 is current now
      break;
    }
  }
  list.Add(0, 0, 8);
  EXPECT_EQ(Codes(list), (std::vector<int>{1, 8, 3}));
}

}  // namespace
