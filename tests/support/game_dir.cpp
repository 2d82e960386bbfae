#include "support/game_dir.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

namespace avg::test {

TempGameDir::TempGameDir() : previous_(std::filesystem::current_path()) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("avgplayer-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
  std::filesystem::current_path(path_);
}

TempGameDir::~TempGameDir() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempGameDir::write(const std::string& name, const std::string& bytes) const {
  std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

std::string TempGameDir::read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

PlayerFixture::PlayerFixture(std::vector<ScriptedEvent> events, ServicesMaker makeServices)
    : events_(std::move(events)), makeServices_(std::move(makeServices)) {}

void PlayerFixture::runScript(const std::vector<std::string>& lines, uint64_t maxPasses) {
  dir_.write("autoexec.eve", crlf(lines));
  run(maxPasses);
}

void PlayerFixture::run(uint64_t maxPasses) {
  app_.reset();  // it plays on the platform's sound output
  platform_ = makeHeadlessPlatform(makeServices_(), events_, log_);
  RunOptions options;
  options.maxPasses = maxPasses;
  options.textOut = textOut_;
  app_ = std::make_unique<PlayerApp>(platform_, options);
  app_->run();
}

int32_t PlayerFixture::intVar(const std::string& name) {
  int32_t* value = engine().variables().ints.find(name);
  return value ? *value : INT32_MIN;
}

std::string PlayerFixture::intVars(const std::string& names) {
  std::istringstream words(names);
  std::string shown;
  for (std::string name; words >> name;)
    shown += (shown.empty() ? "" : " ") + name + "=" + std::to_string(intVar(name));
  return shown;
}

float PlayerFixture::floatVar(const std::string& name) {
  float* value = engine().variables().floats.find(name);
  return value ? *value : -1e30f;
}

std::string PlayerFixture::stringVar(const std::string& name) {
  std::string* value = engine().variables().strings.find(name);
  return value ? *value : "<missing>";
}

std::string PlayerFixture::caption() const {
  return dynamic_cast<const HeadlessWindow&>(*platform_.window).caption();
}

std::string PlayerFixture::errorLog() const {
  return dir_.read("ErrorLog.txt");
}

}  // namespace avg::test
