// Regions keep their rectangles disjoint, so that each pixel is drawn once.
#include "base/region.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

bool disjoint(const Region& region) {
  const auto& rects = region.rects();
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      if (!rects[i].intersect(rects[j]).empty()) return false;
    }
  }
  return true;
}

TEST(Region, AddAndSubtractKeepPiecesDisjoint) {
  struct Case {
    const char* name;
    std::vector<Rect> added;
    Rect subtracted;
    int64_t area;
    Rect bounds;
  } cases[] = {
      {"empty", {{5, 5, 5, 9}}, {}, 0, {}},
      {"inside another", {{0, 0, 10, 10}, {2, 2, 4, 4}}, {}, 100, {0, 0, 10, 10}},
      {"overlapping", {{0, 0, 10, 10}, {5, 5, 15, 15}}, {}, 175, {0, 0, 15, 15}},
      {"crossing", {{0, 4, 20, 6}, {9, 0, 11, 10}}, {}, 56, {0, 0, 20, 10}},
      {"hole punched", {{0, 0, 10, 10}}, {3, 3, 6, 6}, 91, {0, 0, 10, 10}},
      {"cut across", {{0, 0, 10, 10}, {20, 0, 30, 10}}, {5, -5, 25, 15}, 100, {0, 0, 30, 10}},
      {"all removed", {{0, 0, 10, 10}}, {-1, -1, 11, 11}, 0, {}},
  };
  for (const Case& c : cases) {
    Region region;
    for (const Rect& rect : c.added)
      region.add(rect);
    region.subtract(c.subtracted);
    EXPECT_TRUE(disjoint(region)) << c.name;
    EXPECT_EQ(region.area(), c.area) << c.name;
    EXPECT_EQ(region.bounds(), c.bounds) << c.name;
  }
}

TEST(Region, SimplifyBecomesTheBoundingRectangle) {
  Region region;
  for (int32_t i = 0; i < 5; ++i)
    region.add({i * 10, 0, i * 10 + 5, 5});
  region.simplify(5);
  EXPECT_EQ(region.rects().size(), 5u);
  region.simplify(4);
  EXPECT_EQ(region.rects(), (std::vector<Rect>{{0, 0, 45, 5}}));
}

}  // namespace
}  // namespace avg
