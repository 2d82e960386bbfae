// MESS and EDIT: message windows with their logs, and edit boxes.
#include "base/error_log.h"
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/text_layer.h"

namespace avg {
namespace {

FontStyle fontAt(const Exec& x, size_t k) {
  return {x.intValue(k), x.intValue(k + 1), static_cast<uint32_t>(x.intValue(k + 2))};
}

// DRAW POS_ x y | SCA_ x y | ROT_ x y z | BLEN mode | REF_, from word 2.
void drawCommand(const Exec& x, WindowPlacement& placement) {
  switch (x.keyword(2)) {
    case fourCC("POS_"):
      placement.x = x.floatValue(3);
      placement.y = x.floatValue(4);
      break;
    case fourCC("SCA_"):
      placement.scaleX = x.floatValue(3);
      placement.scaleY = x.floatValue(4);
      break;
    case fourCC("ROT_"):
      placement.rotationX = x.floatValue(3);
      placement.rotationY = x.floatValue(4);
      placement.rotationZ = x.floatValue(5);
      break;
    case fourCC("BLEN"):
      placement.blendMode = x.intValue(3);
      break;
    case fourCC("REF_"):
      placement.refresh();
      break;
  }
}

// WRIT POS_ x y | FONT size bold colour | REF_ | MODE h v | SHIF x y | LSP_ value.
void writeCommand(const Exec& x, MessageWindow& window) {
  switch (x.keyword(2)) {
    case fourCC("POS_"):
      window.originX = x.floatValue(3);
      window.originY = x.floatValue(4);
      break;
    case fourCC("FONT"):
      window.defaultFont = fontAt(x, 3);
      break;
    case fourCC("REF_"):
      window.currentFont = window.defaultFont;
      window.cursorX = window.originX;
      window.cursorY = window.originY;
      break;
    case fourCC("MODE"):
      window.alignH = static_cast<uint32_t>(x.intValue(3));
      window.alignV = static_cast<uint32_t>(x.intValue(4));
      break;
    case fourCC("SHIF"):
      window.spacingX = x.floatValue(3);
      window.spacingY = x.floatValue(4);
      break;
    case fourCC("LSP_"):
      window.lineSpacing = x.floatValue(3);
      break;
  }
}

// LOG_ OUT_ | UP__ | DOWN | END_ | CLE_ [ALL_] | CHK_ variable | FONT size bold colour | TEST.
void logCommand(const Exec& x, TextLayer& text) {
  MessageWindow& window = text.currentWindow();
  GlyphRenderer& renderer = text.renderer();
  switch (x.keyword(2)) {
    case fourCC("OUT_"):
      window.commitPage();
      break;
    case fourCC("UP__"):
      window.pageUp(renderer);
      break;
    case fourCC("DOWN"):
      window.pageDown(renderer);
      break;
    case fourCC("END_"):
      window.endLog(renderer);
      break;
    case fourCC("CLE_"):
      if (x.keyword(3) == fourCC("ALL_")) {
        text.clearAllLogs();
      } else {
        window.clearLog(renderer);
      }
      break;
    case fourCC("CHK_"):
      x.intSlot(3) = window.logAtNewest;
      break;
    case fourCC("FONT"):
      window.logFont = fontAt(x, 3);
      break;
    case fourCC("TEST"):
      for (const std::string& line : window.logCheckLines())
        writeErrorLog(line);
      break;
  }
}

void storeExtent(const Exec& x, Size extent) {
  x.floatSlot(2) = static_cast<float>(extent.width);
  x.floatSlot(3) = static_cast<float>(extent.height);
}

// SPLI count array first text: the characters of text into array[first...], count :=
// first + their number.
void splitCommand(const Exec& x) {
  int32_t index = x.intValue(4);
  StringArray* array = x.stringArray(3);
  for (std::string_view character : splitCharacters(x.stringValue(5))) {
    if (array) arrayElement(*array, index) = std::string(character);
    index = intops::add(index, 1);
  }
  x.intSlot(2) = index;
}

// MESS <sub-command> ...: the current message window.
Outcome message(Exec& x) {
  auto& text = x.engine.companion<TextLayer>();
  if (x.keyword(1) == fourCC("SET_")) {
    text.selectWindow(x.intValue(2));
    return x.next();
  }
  MessageWindow& window = text.currentWindow();
  switch (x.keyword(1)) {
    case fourCC("SHOW"):
      window.placement.visible = 1;
      break;
    case fourCC("HIDE"):
      window.placement.visible = 0;
      break;
    case fourCC("ADD_"):
      window.add(x.stringValue(2), text.renderer());
      break;
    case fourCC("CRLF"):
      window.newLine();
      break;
    case fourCC("MOVE"):
      window.cursorX += x.floatValue(2);
      window.cursorY += x.floatValue(3);
      break;
    case fourCC("POS_"):
      window.cursorX = x.floatValue(2);
      window.cursorY = x.floatValue(3);
      break;
    case fourCC("SHIF"):
      window.spacingX = x.floatValue(2);
      window.spacingY = x.floatValue(3);
      break;
    case fourCC("FONT"):
      window.currentFont = fontAt(x, 2);
      break;
    case fourCC("CALC"):
      storeExtent(x, text.renderer().measure(x.stringValue(4), window.currentFont.size,
                                             window.currentFont.bold));
      break;
    case fourCC("SPLI"):
      splitCommand(x);
      break;
    case fourCC("CLE_"):
      window.clear();
      break;
    case fourCC("TEXT"):
      if (x.keyword(2) == fourCC("CLE_")) window.clear();
      break;
    case fourCC("WRIT"):
      writeCommand(x, window);
      break;
    case fourCC("DRAW"):
      drawCommand(x, window.placement);
      break;
    case fourCC("LOG_"):
      logCommand(x, text);
      break;
  }
  return x.next();
}

// EDIT TEXT GET_ variable | TEXT SET_ text.
void editTextCommand(const Exec& x, EditBox& box, GlyphRenderer& renderer) {
  if (x.keyword(2) == fourCC("GET_")) x.stringSlot(3) = box.text();
  if (x.keyword(2) == fourCC("SET_")) box.compose(x.stringValue(3), renderer);
}

// EDIT WRIT POS_ x y | SHIF x y | FONT size bold colour | EDIT size bold colour | MODE h v.
void editWriteCommand(const Exec& x, EditBox& box) {
  switch (x.keyword(2)) {
    case fourCC("POS_"):
      box.originX = x.floatValue(3);
      box.originY = x.floatValue(4);
      break;
    case fourCC("SHIF"):
      box.spacingX = x.floatValue(3);
      box.spacingY = x.floatValue(4);
      break;
    case fourCC("FONT"):
      box.typingFont = fontAt(x, 3);
      break;
    case fourCC("EDIT"):
      box.compositionFont = fontAt(x, 3);
      break;
    case fourCC("MODE"):
      box.alignH = static_cast<uint32_t>(x.intValue(3));
      box.alignV = static_cast<uint32_t>(x.intValue(4));
      break;
  }
}

// EDIT <sub-command> ...: the current edit box; nothing without one except SET_.
Outcome editBox(Exec& x) {
  auto& text = x.engine.companion<TextLayer>();
  if (x.keyword(1) == fourCC("SET_")) {
    text.selectEditBox(x.intValue(2));
    return x.next();
  }
  EditBox* box = text.currentEditBox();
  if (!box) return x.next();
  switch (x.keyword(1)) {
    case fourCC("CLOS"):
      text.closeEditBox();
      break;
    case fourCC("SHOW"):
      box->placement.visible = 1;
      break;
    case fourCC("HIDE"):
      box->placement.visible = 0;
      break;
    case fourCC("TEXT"):
      editTextCommand(x, *box, text.renderer());
      break;
    case fourCC("CLE_"):
      box->clear();
      break;
    case fourCC("CALC"):
      storeExtent(
          x, text.renderer().measure(x.stringValue(4), box->typingFont.size, box->typingFont.bold));
      break;
    case fourCC("WRIT"):
      editWriteCommand(x, *box);
      break;
    case fourCC("DRAW"):
      drawCommand(x, box->placement);
      break;
  }
  return x.next();
}

}  // namespace

void registerTextCommands(CommandTable& table) {
  table.add("MESS", message);
  table.add("EDIT", editBox);
}

}  // namespace avg
