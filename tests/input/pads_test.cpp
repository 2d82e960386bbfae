// Pads from config.ini bindings: keys, opposite directions, several players and joysticks.
#include "input/pads.h"

#include <gtest/gtest.h>

#include <set>

#include "input/pointer_mapping.h"
#include "input/virtual_keys.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;

// Joysticks whose count, readability and positions a test sets.
class FakeJoysticks : public Joysticks {
 public:
  int32_t count() override { return static_cast<int32_t>(positions.size()); }
  bool read(int32_t index, JoystickPosition& out) override {
    if (unreadable.count(index)) return false;
    out = positions.at(static_cast<size_t>(index));
    return true;
  }
  std::vector<JoystickPosition> positions;
  std::set<int32_t> unreadable;
};

struct PadCase {
  const char* name;
  std::set<int32_t> held;
  int32_t player;
  int32_t direction;
  int32_t buttons;
};

class KeyPads : public ::testing::TestWithParam<PadCase> {};

TEST_P(KeyPads, FollowTheHeldKeys) {
  // Player 2 uses W S A D for directions and Space, Return, Z for its three buttons.
  IniFile file(crlf({"[INPUT]", "PL=2", "Button=3", "[PL2]", "UP=87", "DOWN=83", "LEFT=65",
                     "RIGHT=68", "A=32", "B=13", "C=90"}));
  FakeJoysticks none;
  Pads pads;
  pads.configure(file, none);
  const PadCase& c = GetParam();
  pads.poll(none, [&](int32_t code) { return c.held.count(code) != 0; });
  ASSERT_NE(pads.pad(c.player), nullptr);
  EXPECT_EQ(pads.pad(c.player)->direction, c.direction);
  EXPECT_EQ(pads.pad(c.player)->buttons, c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyPads,
    ::testing::Values(PadCase{"idle", {}, 0, 5, 0},
                      PadCase{"up_down_cancel", {vk::kUp, vk::kDown}, 0, 5, 0},
                      PadCase{"up_right", {vk::kUp, vk::kRight}, 0, 2, 0},
                      PadCase{"down_left", {vk::kDown, vk::kLeft}, 0, 8, 0},
                      PadCase{"default_buttons_q_e", {0x51, 0x45}, 0, 5, 0b101},
                      PadCase{"fourth_button_beyond_count", {0x41}, 0, 5, 0},
                      PadCase{"second_player_keys", {87, 68, 32, 90}, 1, 2, 0b101},
                      PadCase{"second_player_ignores_arrows", {vk::kUp, 0x51}, 1, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pads, MissingFileConfiguresNoPlayers) {
  FakeJoysticks joysticks;
  joysticks.positions.resize(2);
  Pads pads;
  pads.configure(IniFile(), joysticks);
  EXPECT_EQ(pads.pad(0), nullptr);
  EXPECT_EQ(pads.joystickCount(), 0u);
}

TEST(Pads, ButtonCountIsHeldToNine) {
  FakeJoysticks none;
  for (auto [count, expected] : {std::pair{"-3", 0}, {"9", 0x1FF}, {"40", 0x1FF}}) {
    Pads pads;
    pads.configure(IniFile(crlf({"[INPUT]", std::string("Button=") + count})), none);
    pads.poll(none, [](int32_t) { return true; });
    EXPECT_EQ(pads.pad(0)->buttons, expected) << count;
  }
}

TEST(Pads, JoystickBindingsFollowTheStickAndButtons) {
  FakeJoysticks joysticks;
  joysticks.positions = {{.x = 0, .y = 65535, .z = 0, .buttons = 0b10}};
  Pads pads;
  pads.configure(
      IniFile(crlf({"[INPUT]", "Button=3", "[PL1]", "UP=65536", "A=65537", "B=65538", "C=65542"})),
      joysticks);
  pads.poll(joysticks, [](int32_t) { return true; });  // keys do not count for the stick
  EXPECT_EQ(pads.pad(0)->direction, 8);
  EXPECT_EQ(pads.pad(0)->buttons, 0b110);
  // A position that cannot be read keeps the last one.
  joysticks.unreadable.insert(0);
  pads.poll(joysticks, [](int32_t) { return false; });
  EXPECT_EQ(pads.pad(0)->direction, 8);
}

TEST(Pads, JoysticksAreLimitedToThePlayersAndToTheFirstUnreadable) {
  FakeJoysticks joysticks;
  joysticks.positions.resize(3);
  Pads pads;
  pads.configure(IniFile(crlf({"[INPUT]", "PL=2"})), joysticks);
  EXPECT_EQ(pads.joystickCount(), 2u);
  joysticks.unreadable.insert(1);
  pads.configure(IniFile(crlf({"[INPUT]", "PL=3"})), joysticks);
  EXPECT_EQ(pads.joystickCount(), 1u);
  // Player 2's joystick 2 was not detected: centred, no buttons.
  pads.configure(IniFile(crlf({"[INPUT]", "PL=2", "[PL2]", "UP=131072", "A=131073"})), joysticks);
  pads.poll(joysticks, [](int32_t code) { return code == vk::kUp; });
  EXPECT_EQ(pads.pad(1)->direction, 5);
  EXPECT_EQ(pads.pad(1)->buttons, 0);
}

TEST(Pads, HugePlayerCountsDoNotExhaustMemory) {
  FakeJoysticks none;
  Pads pads;
  pads.configure(IniFile(crlf({"[INPUT]", "PL=2000000000"})), none);
  EXPECT_NE(pads.pad(0), nullptr);
  EXPECT_EQ(pads.pad(1000), nullptr);
}

TEST(JoystickDirection, SplitsEachAxisInQuarters) {
  struct Case {
    uint32_t x, y;
    int32_t direction;
  };
  for (Case c :
       {Case{32768, 32768, 5}, Case{16383, 32768, 4}, Case{16384, 32768, 5}, Case{49151, 32768, 5},
        Case{49152, 32768, 6}, Case{65535, 0, 2}, Case{0, 65535, 8}, Case{65535, 65535, 10}}) {
    EXPECT_EQ(joystickDirection({.x = c.x, .y = c.y}), c.direction) << c.x << "," << c.y;
  }
}

TEST(PointerToStage, MapsClientPixelsToStageUnits) {
  struct Case {
    int32_t x, y;
    StagePoint stage;
  };
  for (Case c : {Case{320, 240, {0, 0}},
                 {0, 0, {-512, -384}},
                 {639, 479, {510, 382}},
                 {-1, -1, {-513, -385}},
                 {INT32_MAX, INT32_MIN, {INT32_MAX, INT32_MIN}}}) {
    EXPECT_EQ(pointerToStage(c.x, c.y), c.stage) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace avg
