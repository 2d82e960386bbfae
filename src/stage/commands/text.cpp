// MESS and EDIT: message windows with their logs, and edit boxes.
#include "base/error_log.h"
#include "script/command_signature.h"
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/commands/placement.h"
#include "stage/text_layer.h"

namespace avg {
namespace {

FontStyle fontAt(const Exec& x, size_t k) {
  return {x.intValue(k), x.intValue(k + 1), static_cast<uint32_t>(x.intValue(k + 2))};
}

// WRIT POS_ x y | SHIF x y | FONT size bold colour | MODE h v, from word 2: the layout that
// message windows and edit boxes share. False for any other keyword.
bool writeLayout(const Exec& x, TextLayout& layout) {
  switch (x.keyword(2)) {
    case fourCC("POS_"):
      layout.originX = x.floatValue(3);
      layout.originY = x.floatValue(4);
      return true;
    case fourCC("SHIF"):
      layout.spacingX = x.floatValue(3);
      layout.spacingY = x.floatValue(4);
      return true;
    case fourCC("FONT"):
      layout.font = fontAt(x, 3);
      return true;
    case fourCC("MODE"):
      layout.alignH = static_cast<uint32_t>(x.intValue(3));
      layout.alignV = static_cast<uint32_t>(x.intValue(4));
      return true;
    default:
      return false;
  }
}

// WRIT <layout> | REF_ | LSP_ value.
void writeCommand(const Exec& x, MessageWindow& window) {
  if (writeLayout(x, window.layout)) return;
  if (x.keyword(2) == fourCC("REF_")) window.rewind();
  if (x.keyword(2) == fourCC("LSP_")) window.lineSpacing = x.floatValue(3);
}

// SHOW | HIDE | CALC width height text (measured in `font`) | DRAW POS_ x y | SCA_ x y |
// ROT_ x y z | BLEN mode | REF_: the forms message windows and edit boxes share. False for any
// other sub-command.
bool windowCommand(const Exec& x, WindowPlacement& placement, const FontStyle& font,
                   GlyphRenderer& renderer) {
  switch (x.keyword(1)) {
    case fourCC("SHOW"):
      placement.visible = 1;
      return true;
    case fourCC("HIDE"):
      placement.visible = 0;
      return true;
    case fourCC("CALC"): {
      const Size extent = renderer.measure(x.stringValue(4), font.size, font.bold);
      x.floatSlot(2) = static_cast<float>(extent.width);
      x.floatSlot(3) = static_cast<float>(extent.height);
      return true;
    }
    case fourCC("DRAW"):
      if (!placementCommand(x, placement, AngleUnit::Radians) && x.keyword(2) == fourCC("BLEN"))
        placement.blendMode = x.intValue(3);
      return true;
    default:
      return false;
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
      text.endLog();
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
  if (windowCommand(x, window.placement, window.currentFont, text.renderer())) return x.next();
  switch (x.keyword(1)) {
    case fourCC("ADD_"):
      text.addText(x.stringValue(2));
      break;
    case fourCC("CRLF"):
      text.newLine();
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
      window.layout.spacingX = x.floatValue(2);
      window.layout.spacingY = x.floatValue(3);
      break;
    case fourCC("FONT"):
      window.currentFont = fontAt(x, 2);
      break;
    case fourCC("SPLI"):
      splitCommand(x);
      break;
    case fourCC("CLE_"):
      text.clearText();
      break;
    case fourCC("TEXT"):
      if (x.keyword(2) == fourCC("CLE_")) text.clearText();
      break;
    case fourCC("WRIT"):
      writeCommand(x, window);
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

// EDIT WRIT <layout> (FONT: the typing font) | EDIT size bold colour (the composition font).
void editWriteCommand(const Exec& x, EditBox& box) {
  if (x.keyword(2) == fourCC("EDIT")) {
    box.compositionFont = fontAt(x, 3);
  } else {
    writeLayout(x, box.layout);
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
  if (!box || windowCommand(x, box->placement, box->layout.font, text.renderer())) return x.next();
  switch (x.keyword(1)) {
    case fourCC("CLOS"):
      text.closeEditBox();
      break;
    case fourCC("TEXT"):
      editTextCommand(x, *box, text.renderer());
      break;
    case fourCC("CLE_"):
      box->clear();
      break;
    case fourCC("WRIT"):
      editWriteCommand(x, *box);
      break;
  }
  return x.next();
}

// The forms of writeLayout, logCommand and windowCommand.
constexpr std::string_view kLayoutForms =
    "POS_ x:float y:float | SHIF x:float y:float | FONT size:int bold:int colour:int | "
    "MODE h:int v:int";
constexpr std::string_view kLogForms =
    "OUT_ | UP__ | DOWN | END_ | CLE_ | CLE_ ALL_ | CHK_ dst:int& | "
    "FONT size:int bold:int colour:int | TEST";
std::string windowForms() {
  return "SHOW | HIDE | CALC width:float& height:float& text:str | DRAW BLEN mode:int | " +
         withPrefix("DRAW", kPlacementForms);
}

}  // namespace

void registerTextCommands(CommandTable& table) {
  table.add("MESS", message,
            "SET_ window:int | ADD_ text:str | CRLF | MOVE x:float y:float | "
            "POS_ x:float y:float | SHIF x:float y:float | FONT size:int bold:int colour:int | "
            "SPLI count:int& array:str[] first:int text:str | CLE_ | TEXT CLE_ | "
            "WRIT REF_ | WRIT LSP_ spacing:float | " +
                withPrefix("WRIT", kLayoutForms) + " | " + withPrefix("LOG_", kLogForms) + " | " +
                windowForms());
  table.add("EDIT", editBox,
            "SET_ box:int | CLOS | TEXT GET_ dst:str& | TEXT SET_ text:str | CLE_ | "
            "WRIT EDIT size:int bold:int colour:int | " +
                withPrefix("WRIT", kLayoutForms) + " | " + windowForms());
}

}  // namespace avg
