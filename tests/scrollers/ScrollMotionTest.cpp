#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "scrollers/CreateMotion.h"
#include "scrollers/LeftwardMotion.h"
#include "scrollers/ScrollMode.h"
#include "scrollers/UpwardMotion.h"

namespace {

ScrollRect View(int w, int h) {
  ScrollRect r;
  r.right = w;
  r.bottom = h;
  return r;
}

// The moving edge of the motion: top for upward, left for leftward.
int Edge(const ScrollMotion &m, bool vertical) { return vertical ? m.CurrentRect().top : m.CurrentRect().left; }

struct SequenceCase {
  const char *what;
  bool vertical;
  ScrollMode mode;
  int extent;      // H for upward, W for leftward
  int textExtent;  // h for upward, w for leftward
  int step;
  int start;
  std::vector<int> edges;        // moving edge after each tick
  std::vector<bool> atRest;      // IsAtRest after each tick (empty: not checked)
};

void PrintTo(const SequenceCase &c, std::ostream *os) { *os << c.what; }

class MotionSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(MotionSequence, FollowsTheEdgeTickByTick) {
  const SequenceCase &c = GetParam();
  std::unique_ptr<ScrollMotion> m = CreateMotion(c.vertical);
  ASSERT_TRUE(m);
  // The other dimension is kept deliberately different so a swapped axis shows.
  ScrollRect view = c.vertical ? View(57, c.extent) : View(c.extent, 57);
  int otherText = 1000;
  if (c.vertical)
    m->Setup(view, otherText, c.textExtent, c.step, c.mode);
  else
    m->Setup(view, c.textExtent, otherText, c.step, c.mode);
  EXPECT_EQ(Edge(*m, c.vertical), c.start);
  EXPECT_EQ(m->Start(), c.mode != ScrollModeShow);
  if (!c.atRest.empty()) {
    ASSERT_EQ(c.atRest.size(), c.edges.size()) << c.what;
  }
  for (size_t i = 0; i < c.edges.size(); ++i) {
    m->Tick();
    EXPECT_EQ(Edge(*m, c.vertical), c.edges[i]) << c.what << " tick " << i + 1;
    if (!c.atRest.empty()) {
      EXPECT_EQ(m->IsAtRest(), c.atRest[i]) << c.what << " tick " << i + 1;
    }
    // Only the moving edge ever differs from the view.
    ScrollRect r = m->CurrentRect();
    if (c.vertical) {
      EXPECT_EQ(r.left, view.left);
      EXPECT_EQ(r.right, view.right);
      EXPECT_EQ(r.bottom, view.bottom);
    } else {
      EXPECT_EQ(r.top, view.top);
      EXPECT_EQ(r.right, view.right);
      EXPECT_EQ(r.bottom, view.bottom);
    }
  }
}

// Edges of a stay motion up to the tick that brings it to rest (the caller stops its timer there).
std::vector<int> StayUntil(int start, int step) {
  std::vector<int> v;
  for (int e = start; e > 0;) {
    e -= step;
    v.push_back(e);
  }
  return v;
}

std::vector<bool> RestAfter(int movingTicks) {
  std::vector<bool> v;
  for (int i = 0; i < movingTicks; ++i) v.push_back(i + 1 == movingTicks);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, MotionSequence,
    ::testing::Values(
        // Scroll: 7, 4, 1, -2, -5, then -5 + 4 < 0 rewinds without moving, then 7 again.
        SequenceCase{"up scroll H10 h4 s3", true, ScrollModeScroll, 10, 4, 3, 10, {7, 4, 1, -2, -5, 10, 7, 4}, {}},
        SequenceCase{"left scroll W10 w4 s3", false, ScrollModeScroll, 10, 4, 3, 10, {7, 4, 1, -2, -5, 10, 7}, {}},
        // Stay: comes to rest at -2 and does not move on.
        SequenceCase{"up stay H10 s3",
                     true,
                     ScrollModeStay,
                     10,
                     4,
                     3,
                     10,
                     {7, 4, 1, -2},
                     {false, false, false, true}},
        SequenceCase{"left stay W10 s3", false, ScrollModeStay, 10, 4, 3, 10, {7, 4, 1, -2},
                     {false, false, false, true}},
        // A text taller than the view still stops with its first line at the top.
        SequenceCase{"up stay tall text", true, ScrollModeStay, 10, 500, 3, 10, {7, 4, 1, -2},
                     {false, false, false, true}},
        // 101 is not a multiple of 2: 51 moving ticks end at -1.
        SequenceCase{"up stay H101 s2", true, ScrollModeStay, 101, 20, 2, 101, StayUntil(101, 2), RestAfter(51)},
        // The 100-pixel example: 50 ticks up to exactly 0.
        SequenceCase{"up stay H100 s2", true, ScrollModeStay, 100, 20, 2, 100, StayUntil(100, 2), RestAfter(50)},
        // Zero-height text: a top of exactly 0 still moves on; the tick finding it below 0 rewinds.
        SequenceCase{"up scroll zero height", true, ScrollModeScroll, 4, 0, 2, 4, {2, 0, -2, 4, 2}, {}},
        SequenceCase{"left scroll zero width", false, ScrollModeScroll, 4, 0, 2, 4, {2, 0, -2, 4}, {}},
        // Show: stands at the view, never moves, never rests.
        SequenceCase{"up show", true, ScrollModeShow, 10, 4, 3, 0, {0, 0, 0}, {false, false, false}},
        SequenceCase{"left show", false, ScrollModeShow, 10, 4, 3, 0, {0, 0}, {false, false}},
        // Scroll never rests, even when passing the origin.
        SequenceCase{"up scroll never rests", true, ScrollModeScroll, 6, 2, 3, 6, {3, 0, -3, 6},
                     {false, false, false, false}}));

TEST(ScrollMotion, StayInOddHeightStopsOnePixelAbove) {
  UpwardMotion m;
  m.Setup(View(40, 101), 40, 30, 2, ScrollModeStay);
  ASSERT_TRUE(m.Start());
  int ticks = 0;
  while (!m.IsAtRest() && ticks < 1000) {
    m.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 51);
  EXPECT_EQ(m.CurrentRect().top, -1);
}

TEST(ScrollMotion, TickBeforeStartMovesOnlyInScroll) {
  struct Case {
    ScrollMode mode;
    int afterTick;
  } cases[] = {{ScrollModeStay, 10}, {ScrollModeScroll, 7}, {ScrollModeShow, 0}};
  for (const Case &c : cases) {
    UpwardMotion m;
    m.Setup(View(20, 10), 5, 4, 3, c.mode);
    m.Tick();
    EXPECT_EQ(m.CurrentRect().top, c.afterTick) << c.mode;
    EXPECT_FALSE(m.IsAtRest()) << c.mode;
  }
}

TEST(ScrollMotion, SetupClearsStartedAndRewinds) {
  UpwardMotion m;
  m.Setup(View(20, 10), 5, 4, 3, ScrollModeStay);
  ASSERT_TRUE(m.Start());
  for (int i = 0; i < 4; ++i) m.Tick();
  ASSERT_TRUE(m.IsAtRest());
  m.Setup(View(20, 10), 5, 4, 3, ScrollModeStay);
  EXPECT_EQ(m.CurrentRect().top, 10);
  EXPECT_FALSE(m.IsAtRest());
  m.Tick();  // not started again yet
  EXPECT_EQ(m.CurrentRect().top, 10);
}

TEST(ScrollMotion, StartIsFalseForShowAndClearsStarted) {
  LeftwardMotion m;
  m.Setup(View(20, 10), 5, 4, 3, ScrollModeShow);
  EXPECT_FALSE(m.Start());
  ScrollRect expected = View(20, 10);
  EXPECT_EQ(m.CurrentRect(), expected);
}

TEST(ScrollMotion, RewindPlacesTextJustOutsideTheView) {
  UpwardMotion up;
  up.Setup(View(30, 12), 5, 4, 1, ScrollModeScroll);
  ScrollRect r = up.CurrentRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 12);
  LeftwardMotion left;
  left.Setup(View(30, 12), 5, 4, 1, ScrollModeStay);
  r = left.CurrentRect();
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 12);
}

TEST(ScrollMotion, HugeTextDoesNotOverflowIntoPast) {
  UpwardMotion m;
  m.Setup(View(10, 10), 10, 0x7fffffff, 3, ScrollModeScroll);
  m.Start();
  m.Tick();
  m.Tick();
  EXPECT_EQ(m.CurrentRect().top, 4);
}

TEST(CreateMotion, PicksDirectionByFlag) {
  std::unique_ptr<ScrollMotion> up = CreateMotion(true);
  std::unique_ptr<ScrollMotion> left = CreateMotion(false);
  ASSERT_TRUE(up && left);
  EXPECT_NE(dynamic_cast<UpwardMotion *>(up.get()), nullptr);
  EXPECT_NE(dynamic_cast<LeftwardMotion *>(left.get()), nullptr);
}

TEST(ScrollModeFromName, AnyCaseAndFallback) {
  struct Case {
    const char *name;
    ScrollMode mode;
  } cases[] = {
      {"scroll", ScrollModeScroll}, {"SCROLL", ScrollModeScroll}, {"stay", ScrollModeStay},
      {"Stay", ScrollModeStay},     {"sTaY", ScrollModeStay},     {"show", ScrollModeShow},
      {"SHOW", ScrollModeShow},     {"", ScrollModeScroll},       {"still", ScrollModeScroll},
      {"stays", ScrollModeScroll},  {"sho", ScrollModeScroll},    {" show", ScrollModeScroll},
      {nullptr, ScrollModeScroll},
  };
  for (const Case &c : cases) EXPECT_EQ(ScrollModeFromName(c.name), c.mode) << (c.name ? c.name : "(null)");
}

}  // namespace
