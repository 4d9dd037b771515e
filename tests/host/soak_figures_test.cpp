#include "tools/soak/figures.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tl::soak {
namespace {

std::vector<Figures> Minutes(int count, double handlesPerMinute, double kbPerMinute) {
  std::vector<Figures> figures;
  for (int m = 0; m < count; ++m) {
    Figures f;
    f.minute = m;
    f.handles = 100 + handlesPerMinute * m;
    f.privateKb = 50000 + kbPerMinute * m;
    f.workingSetKb = 60000 + (m % 2 ? 300 : -300);  // noise around a level
    figures.push_back(f);
  }
  return figures;
}

const Trend& Named(const std::vector<Trend>& trends, const std::string& name) {
  for (const Trend& t : trends) {
    if (t.name == name) return t;
  }
  throw std::logic_error("no trend " + name);
}

TEST(SoakFigures, SlopeIsTheLeastSquaresLine) {
  EXPECT_DOUBLE_EQ(Slope({0, 1, 2, 3}, {1, 3, 5, 7}), 2);
  EXPECT_DOUBLE_EQ(Slope({0, 1, 2, 3}, {5, 5, 5, 5}), 0);
  EXPECT_NEAR(Slope({0, 1, 2}, {0, 2, 1}), 0.5, 1e-12);
  EXPECT_EQ(Slope({4}, {9}), 0) << "one point has no slope";
  EXPECT_EQ(Slope({2, 2}, {1, 9}), 0) << "nor do points at one minute";
}

TEST(SoakFigures, TrendsLeaveOutTheWarmUpAndJudgeGrowthPerHour) {
  // A leak of one handle every ten minutes and 20 KB a minute: 6 and 1200 per hour.
  std::vector<Figures> figures = Minutes(61, 0.1, 20);
  figures[0].handles = figures[1].handles = 900;  // start-up settling, left out
  const auto trends = TrendsFrom(figures, 5);
  EXPECT_NEAR(Named(trends, "handles").perHour, 6, 1e-9);
  EXPECT_TRUE(Named(trends, "handles").grows);
  EXPECT_DOUBLE_EQ(Named(trends, "handles").first, 100.5);
  EXPECT_NEAR(Named(trends, "private KB").perHour, 1200, 1e-6);
  EXPECT_TRUE(Named(trends, "private KB").grows);
  EXPECT_FALSE(Named(trends, "working set KB").grows) << "noise around a level is steady";
  EXPECT_FALSE(Named(trends, "GDI objects").answered);
  EXPECT_FALSE(Named(trends, "GDI objects").grows);
  EXPECT_FALSE(PrintTrends(trends, 5));
}

TEST(SoakFigures, TheLevelReachedIgnoresDipsAndSpikesButNotALeak) {
  EXPECT_EQ(LevelReached({5, 5, 9, 5, 5, 1, 1, 1, 5, 6}), (std::vector<double>{5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
  EXPECT_EQ(LevelReached({1, 2, 3, 4}), (std::vector<double>{2, 3, 3, 3})) << "fewer minutes at the ends, the upper median";
  EXPECT_TRUE(LevelReached({}).empty());
  // Memory given back from minute 9 to 22 and taken again, then flat; and a spike at minute 40.
  std::vector<Figures> figures = Minutes(61, 0, 0);
  for (int m = 9; m <= 22; ++m) figures[m].privateKb = 46000;
  figures[40].privateKb = 58000;
  const auto steady = TrendsFrom(figures, 5);
  EXPECT_GT(Named(steady, "private KB").perHour, 1024) << "the dip tilts the line through the figures";
  EXPECT_FALSE(Named(steady, "private KB").grows);
  // Noise swinging wider around one level lifts the level reached, not the line.
  for (int m = 0; m <= 60; ++m) figures[m].privateKb = 50000 + (m % 2 ? 40 : -40) * m;
  EXPECT_GT(Named(TrendsFrom(figures, 5), "private KB").levelPerHour, 1024);
  EXPECT_FALSE(Named(TrendsFrom(figures, 5), "private KB").grows);
  // 40 KB a minute under noise of 600 KB.
  for (int m = 0; m <= 60; ++m) figures[m].privateKb = 50000 + 40 * m + (m % 3 ? 300 : -300);
  EXPECT_TRUE(Named(TrendsFrom(figures, 5), "private KB").grows);
}

TEST(SoakFigures, SteadyFiguresAndShortRuns) {
  const auto trends = TrendsFrom(Minutes(61, 0, 0.5), 5);  // 30 KB an hour: below 1 MB
  for (const Trend& t : trends) EXPECT_FALSE(t.grows) << t.name;
  EXPECT_TRUE(PrintTrends(trends, 5));
  EXPECT_EQ(WarmUpMinutes(60), 5);
  EXPECT_EQ(WarmUpMinutes(6), 2) << "a short check leaves out its first third";
}

}  // namespace
}  // namespace tl::soak
