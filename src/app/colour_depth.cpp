#include "app/colour_depth.h"

namespace avg {

bool acceptColourDepth(int32_t bitsPerPixel, MessageBoxes& boxes) {
  if (bitsPerPixel == 32 || bitsPerPixel == 24) return true;
  MessageAnswer answer = boxes.show(
      {.caption = "警告",
       .text =
           "\nこのアプリケーションはTrueColor用です。\n画面の色数を切り替えてから再度お試し下さい。"
           "\n\n終了しますか？",
       .buttons = MessageButtons::YesNo,
       .icon = MessageIcon::Warning,
       .defaultAnswer = MessageAnswer::No});
  return answer != MessageAnswer::Yes;
}

}  // namespace avg
