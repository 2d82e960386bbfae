#include "stage/menu_bar.h"

namespace avg {
namespace {

const MenuItem* findIn(const std::vector<MenuItem>& items, int32_t id) {
  for (const MenuItem& item : items) {
    if (item.id == id && id != 0) return &item;
    if (const MenuItem* inner = findIn(item.items, id)) return inner;
  }
  return nullptr;
}

MenuItem command(int32_t id, std::string text) {
  MenuItem item;
  item.id = id;
  item.text = std::move(text);
  return item;
}

struct Accelerator {
  Key key;
  bool alt;
  int32_t id;
};

constexpr Accelerator kAccelerators[] = {
    {Key::F1, false, kMenuSave},
    {Key::F2, false, kMenuLoad},
    {Key::F3, false, kMenuSkip},
    {Key::V, true, kMenuVersion},
};

}  // namespace

MenuBar::MenuBar() {
  MenuItem game;
  game.text = "ゲーム(&G)";
  game.items = {command(kMenuTitle, "タイトルへ戻る(&T)"), command(kMenuQuit, "ゲーム終了(&X)")};
  items_ = {game, command(kMenuSave, "セーブ[F1]"), command(kMenuLoad, "ロード[F2]"),
            command(kMenuSkip, "スキップ[F3]"), command(kMenuVersion, "バージョン情報(&V)")};
}

const MenuItem* MenuBar::find(int32_t id) const {
  return findIn(items_, id);
}

MenuItem* MenuBar::find(int32_t id) {
  return const_cast<MenuItem*>(findIn(items_, id));
}

bool MenuBar::enabled(int32_t id) const {
  const MenuItem* item = find(id);
  return item && item->enabled;
}

void MenuBar::setEnabled(int32_t id, bool enabled) {
  MenuItem* item = find(id);
  if (!item || item->enabled == enabled) return;
  item->enabled = enabled;
  ++revision_;
}

std::optional<int32_t> MenuBar::accelerator(Key key, bool altHeld) const {
  for (const Accelerator& accelerator : kAccelerators) {
    if (accelerator.key == key && accelerator.alt == altHeld) return accelerator.id;
  }
  return std::nullopt;
}

}  // namespace avg
