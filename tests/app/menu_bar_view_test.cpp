// The drawn menu bar worked with the pointer and the keyboard, and what it looks like.
#include "app/menu_bar_view.h"

#include <gtest/gtest.h>

#include "support/fake_services.h"

namespace avg {
namespace {

// The menu face is 12 pixels high, so every character is a 6 × 12 block and item places are
// easy to reckon: "ゲーム(G)" 0–50, "セーブ[F1]" 50–106, "ロード[F2]" 106–162, "スキップ[F3]"
// 162–224.

constexpr int32_t kSaveX = 60;
constexpr int32_t kGameX = 10;
constexpr int32_t kBarY = 10;
// Rows of the Game popup: a 3-pixel border, then 20 pixels a row from y = 20.
constexpr int32_t kTitleRowY = 30;
constexpr int32_t kQuitRowY = 50;

struct Step {
  enum Kind { Move, Press, Release, KeyDown, KeyUp, Character } kind;
  int32_t x = 0;
  int32_t y = 0;
  Key key = Key::None;
  bool alt = false;
};

Step move(int32_t x, int32_t y) {
  return {Step::Move, x, y};
}
Step press(int32_t x, int32_t y) {
  return {Step::Press, x, y};
}
Step release(int32_t x, int32_t y) {
  return {Step::Release, x, y};
}
Step key(Key key, bool alt = false) {
  return {Step::KeyDown, 0, 0, key, alt};
}
// A key release is never taken.
Step release(Key key) {
  return {Step::KeyUp, 0, 0, key};
}
Step character() {
  return {Step::Character};
}

MenuResponse apply(MenuBarView& view, const Step& step) {
  switch (step.kind) {
    case Step::Move:
      return view.pointerMoved(step.x, step.y);
    case Step::Press:
      return view.buttonPressed(step.x, step.y);
    case Step::Release:
      return view.buttonReleased(step.x, step.y);
    case Step::KeyDown:
      return view.keyPressed(step.key, step.alt);
    case Step::KeyUp:
      view.keyReleased(step.key);
      return {};
    case Step::Character:
      return view.characterTyped();
  }
  return {};
}

struct Case {
  const char* name;
  const char* taken;  // per step: 'y' when the menu took it
  std::optional<int32_t> chosen;
  bool trackingAfter;
  std::vector<int32_t> grayed;
  std::vector<Step> steps;
};

Case row(const char* name, const char* taken, std::optional<int32_t> chosen, bool trackingAfter,
         std::vector<int32_t> grayed, std::vector<Step> steps) {
  return {name, taken, chosen, trackingAfter, std::move(grayed), std::move(steps)};
}

class MenuBarViewCases : public ::testing::TestWithParam<Case> {};

TEST_P(MenuBarViewCases, ChooseAsADesktopMenuDoes) {
  const Case& c = GetParam();
  MenuBar menu;
  for (int32_t id : c.grayed)
    menu.setEnabled(id, false);
  test::BlockTextRasterizer text;
  MenuBarView view(menu, text);
  std::optional<int32_t> chosen;
  ASSERT_EQ(c.steps.size(), std::string(c.taken).size());
  for (size_t i = 0; i < c.steps.size(); ++i) {
    MenuResponse response = apply(view, c.steps[i]);
    EXPECT_EQ(response.taken, c.taken[i] == 'y') << "step " << i;
    if (response.command) {
      EXPECT_FALSE(chosen) << "chose twice";
      chosen = response.command;
    }
  }
  EXPECT_EQ(chosen, c.chosen);
  EXPECT_EQ(view.tracking(), c.trackingAfter);
}

constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    PointerAndKeys, MenuBarViewCases,
    ::testing::Values(
        row("click_on_save", "yy", kMenuSave, false, {},
            {press(kSaveX, kBarY), release(kSaveX, kBarY)}),
        row("release_away_from_the_pressed_item", "yyy", kNone, false, {},
            {press(kSaveX, kBarY), move(kSaveX, 200), release(kSaveX, 200)}),
        row("grayed_save", "yy", kNone, false, {kMenuSave},
            {press(kSaveX, kBarY), release(kSaveX, kBarY)}),
        row("game_popup_then_title", "yyyyy", kMenuTitle, false, {},
            {press(kGameX, kBarY), release(kGameX, kBarY), move(kGameX, kTitleRowY),
             press(kGameX, kTitleRowY), release(kGameX, kTitleRowY)}),
        row("drag_from_game_to_quit", "yyy", kMenuQuit, false, {},
            {press(kGameX, kBarY), move(kGameX, kQuitRowY), release(kGameX, kQuitRowY)}),
        row("grayed_title_keeps_the_popup_open", "yyyy", kNone, true, {kMenuTitle},
            {press(kGameX, kBarY), release(kGameX, kBarY), press(kGameX, kTitleRowY),
             release(kGameX, kTitleRowY)}),
        row("click_beside_the_popup_closes_it", "yyyy", kNone, false, {},
            {press(kGameX, kBarY), release(kGameX, kBarY), press(400, 300), release(400, 300)}),
        row("game_area_is_the_games", "nnn", kNone, false, {},
            {move(300, 200), press(300, 200), release(300, 200)}),
        row("up_wraps_to_the_last_row", "yyy", kMenuQuit, false, {},
            {key(Key::G, true), key(Key::Up), key(Key::Return)}),
        row("mnemonic_chooses", "yy", kMenuTitle, false, {}, {key(Key::G, true), key(Key::T)}),
        row("grayed_mnemonic_chooses_nothing", "yy", kNone, true, {kMenuTitle},
            {key(Key::G, true), key(Key::T)}),
        row("escape_steps_back_to_the_bar_then_leaves", "yyyyyn", kNone, false, {},
            {key(Key::G, true), key(Key::Escape), character(), key(Key::Escape), character(),
             character()}),
        row("alt_tap_selects_the_bar_then_right_and_return", "nnyy", kMenuSave, false, {},
            {key(Key::Alt), release(Key::Alt), key(Key::Right), key(Key::Return)}),
        row("alt_with_another_key_between_selects_nothing", "nnn", kNone, false, {},
            {key(Key::Alt), key(Key::Tab, true), release(Key::Alt)}),
        row("f10_then_down_opens_the_popup_and_left_moves_on", "yyyy", kMenuVersion, false, {},
            {key(Key::F10), key(Key::Down), key(Key::Left), key(Key::Return)}),
        row("bar_mnemonic_chooses_a_command", "yy", kMenuVersion, false, {},
            {key(Key::F10), key(Key::V)}),
        row("keys_without_alt_are_the_games", "nnn", kNone, false, {},
            {key(Key::G), character(), key(Key::Return)})),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuBarViewLook, HighlightsGraysAndPlacesThePopup) {
  MenuBar menu;
  test::BlockTextRasterizer text;
  MenuBarView view(menu, text);
  // Label text starts 7 pixels into its item, 4 pixels down.
  EXPECT_EQ(view.bar().pixel(kSaveX, kBarY) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(view.bar().pixel(52, 1) & 0xFFFFFF, 0xF0F0F0u);
  EXPECT_EQ(view.popup(), nullptr);

  const uint64_t before = view.appearance();
  view.pointerMoved(kSaveX, kBarY);
  EXPECT_NE(view.appearance(), before);
  EXPECT_EQ(view.bar().pixel(52, 1) & 0xFFFFFF, 0xE5F3FFu);

  menu.setEnabled(kMenuSave, false);
  // Grayed text is a mid gray (the blend rounds 0x6D down by one).
  const uint32_t grayed = view.bar().pixel(kSaveX, kBarY) & 0xFFFFFF;
  EXPECT_EQ(grayed, (grayed & 0xFF) * 0x010101u);
  EXPECT_NEAR(grayed & 0xFF, 0x6D, 1);

  view.keyPressed(Key::G, true);
  const Surface* popup = view.popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(view.popupOrigin(), (IntPoint{0, 20}));
  EXPECT_EQ(popup->height(), 3 + 2 * 20 + 3);
  // The first row is highlighted, the second is not.
  EXPECT_EQ(popup->pixel(5, 5) & 0xFFFFFF, 0xCCE8FFu);
  EXPECT_EQ(popup->pixel(5, 25) & 0xFFFFFF, 0xF2F2F2u);
}

}  // namespace
}  // namespace avg
