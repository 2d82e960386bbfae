#pragma once
#include <string>

namespace avg {

// A connection to the desktop's speech service. Speaking does not block: a text is queued
// and spoken while the caller goes on.
class SpeechService {
 public:
  virtual ~SpeechService() = default;
  // Whether some voice speaks `language` (an ISO 639 code such as "ja").
  virtual bool hasVoiceFor(const std::string& language) = 0;
  // Texts from now on are spoken in `language`.
  virtual void setLanguage(const std::string& language) = 0;
  // Stops what is being spoken and drops what is queued.
  virtual void cancel() = 0;
  virtual void say(const std::string& utf8) = 0;
};

}  // namespace avg
