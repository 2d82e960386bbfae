#include "platform/speechd/speechd_service.h"

#include <libspeechd.h>

#include <cstdlib>
#include <string>

#include "base/error_log.h"
#include "base/library_leaks.h"

namespace avg {
namespace {

class SpeechdService : public SpeechService {
 public:
  explicit SpeechdService(SPDConnection* connection) : connection_(connection) {}
  ~SpeechdService() override { spd_close(connection_); }

  bool hasVoiceFor(const std::string& language) override {
    SPDVoice** voices = spd_list_synthesis_voices(connection_);
    bool found = false;
    for (SPDVoice** voice = voices; voice && *voice && !found; ++voice)
      found = (*voice)->language && std::string((*voice)->language).starts_with(language);
    free_spd_voices(voices);
    return found;
  }
  void setLanguage(const std::string& language) override {
    spd_set_language(connection_, language.c_str());
  }
  void cancel() override { spd_cancel(connection_); }
  void say(const std::string& utf8) override { spd_say(connection_, SPD_TEXT, utf8.c_str()); }

 private:
  SPDConnection* connection_;
};

}  // namespace

std::unique_ptr<SpeechService> connectSpeechDispatcher() {
  char* error = nullptr;
  SPDConnection* connection = ignoringLibraryLeaks([&error] {
    return spd_open2("avgplayer", "text", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
  });
  if (!connection) {
    // The library's own message runs over several lines; the log takes one.
    writeErrorLog("--speak: speech-dispatcher cannot be reached, nothing is spoken");
    std::free(error);
    return nullptr;
  }
  return std::make_unique<SpeechdService>(connection);
}

}  // namespace avg
