#pragma once
#include <string>

namespace avg {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageAnswer { Ok, Yes, No };

// A modal message box. Texts are UTF-8; the caller converts game text at its boundary.
struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  // Yes/No boxes default to No, as every confirmation of the player does.
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// Shows a box and blocks until it is answered. The headless implementation prints the box
// and returns the queued answer or the default one.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageAnswer show(const MessageBoxRequest& request) = 0;
};

}  // namespace avg
