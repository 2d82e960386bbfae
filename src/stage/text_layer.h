#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "base/surface.h"
#include "platform/text_rasterizer.h"
#include "script/engine.h"
#include "stage/draw_list.h"
#include "stage/edit_box.h"
#include "stage/glyph.h"
#include "stage/message_text_observer.h"
#include "stage/message_window.h"
#include "stage/stage_view.h"

namespace avg {

// The message windows and edit boxes with their shared glyph renderer. Window 0 exists
// from the start and is current; no edit box is current at the start.
class TextLayer : public EngineCompanion {
 public:
  TextLayer(TextRasterizer& rasterizer, std::string faceName);

  GlyphRenderer& renderer() { return renderer_; }
  // Told of every change of the windows' live text from now on; null for none.
  void setObserver(MessageTextObserver* observer) { observer_ = observer; }

  // Makes window `number` current, creating it with the defaults when new.
  MessageWindow& selectWindow(int32_t number);
  MessageWindow& currentWindow() { return windows_.at(currentWindow_); }
  int32_t currentWindowNumber() const { return currentWindow_; }
  std::optional<int32_t> currentEditBoxNumber() const { return currentEditBox_; }
  const std::map<int32_t, MessageWindow>& windows() const { return windows_; }
  // The window or edit box `number`, created with the defaults when new, without making it
  // current (loading a game).
  MessageWindow& windowAt(int32_t number) { return windows_[number]; }
  EditBox& editBoxAt(int32_t number) { return editBoxes_[number]; }
  // Removes every window (window 0 comes back, current) or every edit box (none current).
  void removeAllWindows();
  void removeAllEditBoxes();
  // Discards the log pages of every window.
  void clearAllLogs();

  // The current window's live text changes, told to the observer.
  void addText(std::string_view text);
  void newLine();
  void clearText();
  // Stops showing the current window's log (MessageWindow::endLog).
  void endLog();
  // Whether window `number` exists, is visible and shows its live text, not a log page.
  bool showsLiveText(int32_t number) const;

  // Makes edit box `number` current, creating it with the defaults when new.
  EditBox& selectEditBox(int32_t number);
  // No edit box is current; the boxes stay and are still drawn.
  void closeEditBox() { currentEditBox_.reset(); }
  EditBox* currentEditBox();
  const std::map<int32_t, EditBox>& editBoxes() const { return editBoxes_; }

  // A character typed by the player, for the current edit box: Backspace (8) removes the
  // character before the cursor; other control characters do nothing; anything else with
  // a CP932 form is inserted as one character.
  void typeCharacter(uint32_t codepoint);
  // Left (step −1) and Right (+1) move the current edit box's cursor.
  void moveEditCursor(int step);

  // Adds the visible edit boxes, placed through the view matrix, in number order.
  void collectEditBoxes(DrawList& list, const StageView& view) const;
  // Adds the visible windows' live text or shown log page, in number order, offset from the
  // screen centre as the view says.
  void collectMessageWindows(DrawList& list, const StageView& view) const;

 private:
  GlyphRenderer renderer_;
  std::map<int32_t, MessageWindow> windows_;
  int32_t currentWindow_ = 0;
  std::map<int32_t, EditBox> editBoxes_;
  std::optional<int32_t> currentEditBox_;
  MessageTextObserver* observer_ = nullptr;
};

// The CP932 bytes of a typed character; empty for control characters and for characters
// without a CP932 form.
std::string typedCharacterBytes(uint32_t codepoint);

}  // namespace avg
