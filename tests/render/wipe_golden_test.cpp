// Stored pictures of a few kinds on a 16 x 12 screen ('.' old picture, '#' new picture, '+'
// anything else: a blend, a cleared row). Each picture was worked out from the formulas and is
// checked twice: the plain model must still draw it, and so must the transition.
#include <gtest/gtest.h>

#include "wipe_test_util.h"

namespace nova::test {
namespace {

constexpr uint32_t kOld = 0x102030, kNew = 0xE0D0C0;

std::string Show(const Img& img) {
  std::string s;
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) {
      uint32_t v = img.at(x, y);
      s += v == kOld ? '.' : v == kNew ? '#' : '+';
    }
    s += '\n';
  }
  return s;
}

struct Golden {
  const char* name;
  int kind;
  int32_t p0, p1;
  bool reversed;
  int32_t elapsed;  // of 1000 ms
  const char* picture;
};

std::ostream& operator<<(std::ostream& os, const Golden& g) { return os << g.name; }

// BlindH: b = (1 + 8 - 2) x 0.5 = 3 opens the columns with delay 0 and 2 of every stripe.
// BlindVSoft: b = 4; rows of delay 0, 2, 4 get 255, 170, 0. CurtainH: b = 45 opens the
// columns whose delay 16 (x / 3 + x mod 3) is below 45. GridH: b = 7; column 0 is whole,
// column 1 a square of side 4 and value 191. GridReversed: only the corner cell of distance 0
// has opened (b = 2). Circle: radius 5 about the centre. ClockhandReversed: from 2 degrees
// (the least start a mask kind takes) a quarter turn counter-clockwise. FanToTheRight: 45
// degrees each way about 90. BlockCoilReversed: blocks of 10 (the least side); the last three
// of the coil (top-right, bottom-right, bottom-left). TwistH: row 0 turned past a quarter
// shows the new row squeezed to 5 pixels, row 3 the old one squeezed to 1. Dither: the corner
// of the tile at the middle of the time.
const Golden kGolden[] = {
    {"BlindH", WP_BLINDH, 4, 1, false, 500,
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"
        "##..##..##..##..\n"},
    {"BlindHReversed", WP_BLINDH, 4, 1, true, 500,
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"
        "..##..##..##..##\n"},
    {"BlindVSoft", WP_BLINDV, 4, 3, false, 500,
        "################\n"
        "++++++++++++++++\n"
        "................\n"
        "................\n"
        "################\n"
        "++++++++++++++++\n"
        "................\n"
        "................\n"
        "################\n"
        "++++++++++++++++\n"
        "................\n"
        "................\n"},
    {"CurtainH", WP_CURTAINH, 3, 1, false, 400,
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"
        "#####.#.........\n"},
    {"GridH", WP_GRIDH, 6, 4, false, 600,
        "######..........\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######..........\n"
        "######..........\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######.++++.....\n"
        "######..........\n"},
    {"GridReversed", WP_GRID, 6, 1, true, 500,
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "............####\n"
        "............####\n"
        "............####\n"
        "............####\n"
        "............####\n"
        "............####\n"},
    {"ScrollVReversed", WP_SCROLLV, 0, 0, true, 250,
        "################\n"
        "################\n"
        "################\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"},
    {"Circle", WP_CIRCLE, 0, 0, false, 500,
        "................\n"
        "......####......\n"
        "....########....\n"
        "....########....\n"
        "...##########...\n"
        "...##########...\n"
        "...##########...\n"
        "...##########...\n"
        "....########....\n"
        "....########....\n"
        "......####......\n"
        "................\n"},
    {"ClockhandReversed", WP_CLOCKHAND, 0, 0, true, 250,
        "########........\n"
        "########........\n"
        "########........\n"
        "########........\n"
        "########........\n"
        "########........\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"
        "................\n"},
    {"FanToTheRight", WP_FAN, 90, 0, false, 250,
        ".............###\n"
        "............####\n"
        "...........#####\n"
        "..........######\n"
        ".........#######\n"
        "........########\n"
        ".........#######\n"
        "..........######\n"
        "...........#####\n"
        "............####\n"
        ".............###\n"
        "..............##\n"},
    {"Dither", WP_DITHER, 0, 0, false, 500,
        ".#.####.#####..#\n"
        ".#.#.##..#.##.##\n"
        "....#..........#\n"
        "#.#.#..#.###..#.\n"
        ".#.##....#....##\n"
        "....#.##.##.....\n"
        "#.#.##..####.#..\n"
        ".##.........#..#\n"
        "#....##.##.#.##.\n"
        "...##.....##...#\n"
        "..####..#.....#.\n"
        "#.##.###.####...\n"},
    {"BlockCoilReversed", WP_BLOCKCOIL, 4, 0, true, 500,
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "..........######\n"
        "################\n"
        "################\n"},
    {"TwistH", WP_TWISTH, 0, 0, false, 400,
        "+++++#####++++++\n"
        "++++++###+++++++\n"
        "+++++++#++++++++\n"
        "+++++++.++++++++\n"
        "++++++...+++++++\n"
        "+++++.....++++++\n"
        "++++.......+++++\n"
        "+++.........++++\n"
        "++...........+++\n"
        "++............++\n"
        "+.............++\n"
        "+..............+\n"},
};

class Goldens : public ::testing::TestWithParam<Golden> {};

TEST_P(Goldens, ModelAndTransitionDrawTheStoredPicture) {
  const Golden& g = GetParam();
  ModelInput in;
  in.kind = g.kind, in.p0 = g.p0, in.p1 = g.p1, in.reversed = g.reversed;
  in.elapsed = g.elapsed, in.duration = 1000;
  in.from = Img(16, 12, kOld), in.to = Img(16, 12, kNew);
  EXPECT_EQ(Show(ModelStep(in)), g.picture);

  auto from = ToSurface(in.from, 32), to = ToSurface(in.to, 32), dest = ToSurface(in.from, 32);
  TWipeContext context;
  context.Defaults.Pairs[static_cast<size_t>(g.kind)] = {g.p0, g.p1};
  auto wipe = CreateWipe(g.kind, dest.get(), from.get(), to.get(), context);
  wipe->SetReverse(g.reversed);
  wipe->SetDuration(1000);
  wipe->Prepare();
  wipe->Advance(g.elapsed);
  EXPECT_EQ(Show(FromSurface(*dest)), g.picture);
}

INSTANTIATE_TEST_SUITE_P(Render, Goldens, ::testing::ValuesIn(kGolden),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nova::test
