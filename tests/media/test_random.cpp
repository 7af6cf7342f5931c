// Random numbers, the integer part, pauses and the clock.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <vector>

#include "media/headless.h"
#include "media/media.h"

namespace {

// The random source written out plainly, as 17 (low, high) pairs, with the
// scaling done in 32-bit halves instead of a 128-bit product.
class ReferenceRandom {
 public:
  explicit ReferenceRandom(uint32_t clock) {
    uint32_t s = clock;
    for (auto& pair : pairs_) {
      s = s * 0xAC564B05u + 1u;
      pair[0] = s;
      s = s * 0xAC564B05u + 1u;
      pair[1] = s;
    }
    for (int i = 0; i < 31; ++i) Step();
  }

  int UpTo(int max) {
    uint64_t range = uint64_t(max) + 1;
    auto [high, low] = Step();
    uint64_t scaled = uint64_t(high) * range + (uint64_t(low) * range >> 32);
    return int(scaled >> 32);
  }

 private:
  std::pair<uint32_t, uint32_t> Step() {
    auto& a = pairs_[a_];
    const auto& b = pairs_[b_];
    uint32_t low = std::rotl(a[1], 27) + b[1];
    uint32_t high = std::rotl(a[0], 19) + b[0];
    a = {low, high};
    a_ = (a_ + 16) % 17;
    b_ = (b_ + 16) % 17;
    return {high, low};
  }

  std::array<std::array<uint32_t, 2>, 17> pairs_{};
  int a_ = 0, b_ = 10;
};

class Numbers : public ::testing::Test {
 protected:
  void SetUp() override { headless::Use(); }
};

TEST_F(Numbers, RandomUpToFollowsTheSourceSeededFromTheClock) {
  for (uint32_t clock : {0u, 12345u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(clock);
    headless::Use();
    headless::SetClock(clock);
    ReferenceRandom reference(clock);
    for (int i = 0; i < 200; ++i) {
      int max = i % 4 == 0 ? INT_MAX : i % 4 == 1 ? 10 : i % 4 == 2 ? 0 : 1000 * i;
      ASSERT_EQ(RandomUpTo(max), reference.UpTo(max)) << "call " << i;
    }
  }
}

TEST_F(Numbers, RandomUpToSeedsOnceAndDiffersWithTheClock) {
  headless::SetClock(500);
  std::vector<int> first;
  for (int i = 0; i < 20; ++i) first.push_back(RandomUpTo(1000000));
  headless::Use();
  headless::SetClock(500);
  std::vector<int> again;
  for (int i = 0; i < 20; ++i) again.push_back(RandomUpTo(1000000));
  EXPECT_EQ(first, again);
  headless::Use();
  headless::SetClock(501);
  std::vector<int> other;
  for (int i = 0; i < 20; ++i) other.push_back(RandomUpTo(1000000));
  EXPECT_NE(first, other);
}

TEST_F(Numbers, RandomUpToLimits) {
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(RandomUpTo(0), 0);
  EXPECT_EQ(RandomUpTo(-1), INT_MIN);
  EXPECT_EQ(RandomUpTo(INT_MIN), INT_MIN);
  int largest = 0;
  for (int i = 0; i < 1000; ++i) {
    int v = RandomUpTo(INT_MAX);
    ASSERT_GE(v, 0);
    largest = std::max(largest, v);
  }
  EXPECT_GT(largest, 1 << 30);
}

TEST_F(Numbers, RandomUpToTenIsUniform) {
  constexpr int N = 110000;
  std::array<int, 11> counts{};
  for (int i = 0; i < N; ++i) {
    int v = RandomUpTo(10);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 10);
    ++counts[size_t(v)];
  }
  double chi2 = 0;
  for (int c : counts) chi2 += (c - N / 11.0) * (c - N / 11.0) / (N / 11.0);
  EXPECT_LT(chi2, 40.0);  // 10 degrees of freedom: above 30 happens once in a thousand runs
}

TEST_F(Numbers, TruncateToIntRoundsTowardZeroAndClamps) {
  EXPECT_EQ(TruncateToInt(7.0 / 2), 3);
  EXPECT_EQ(TruncateToInt(-7.0 / 2), -3);
  EXPECT_EQ(TruncateToInt(0.999), 0);
  EXPECT_EQ(TruncateToInt(-0.999), 0);
  EXPECT_EQ(TruncateToInt(13.0 / 10), 1);
  EXPECT_EQ(TruncateToInt(2147483646.9), 2147483646);
  EXPECT_EQ(TruncateToInt(-2147483647.9), -2147483647);
  EXPECT_EQ(TruncateToInt(2147483647.5), INT_MAX);
  EXPECT_EQ(TruncateToInt(-2147483648.5), INT_MIN);
  EXPECT_EQ(TruncateToInt(1e300), INT_MAX);
  EXPECT_EQ(TruncateToInt(-INFINITY), INT_MIN);
  EXPECT_EQ(TruncateToInt(NAN), 0);
}

TEST_F(Numbers, PausesAdvanceTheClock) {
  headless::SetClock(1000);
  EXPECT_EQ(MillisecondClock(), 1000u);
  PauseMs(250);
  EXPECT_EQ(MillisecondClock(), 1250u);
  PauseMs(0);
  PauseMs(-5);
  EXPECT_EQ(MillisecondClock(), 1250u);
  headless::SetClock(0xFFFFFFFFu);
  PauseMs(2);
  EXPECT_EQ(MillisecondClock(), 1u);  // the count wraps around
}

}  // namespace
