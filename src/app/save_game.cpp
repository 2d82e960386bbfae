#include "app/save_game.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "base/atomic_file.h"
#include "base/text_encoding.h"
#include "input/input_devices.h"
#include "media/music_player.h"
#include "media/sound_channel.h"
#include "platform/message_box.h"
#include "save/packed_block.h"
#include "script/app_control.h"
#include "script/save_sections.h"
#include "script/whole_file.h"
#include "stage/display_list.h"
#include "stage/save_sections.h"

namespace avg {
namespace {

// Settings mirrored in variables that a load must not change: kept before, put back after.
constexpr const char* kKeptSettings[] = {"Flag-FullScreen", "Flag-FPS",      "Talk-Wait",
                                         "Flag-CtrlSkip",   "Flag-Char00CV", "Flag-Char01CV",
                                         "Flag-Char02CV",   "Flag-Char03CV", "Flag-Char04CV"};

void tell(ScriptEngine& engine, const char* caption, const char* text, MessageIcon icon) {
  engine.services().messageBoxes.show({.caption = caption, .text = text, .icon = icon});
}

void writeSceneSection(VariableStore& variables, SaveWriter& out) {
  out.row().field("#SCENE");
  const std::string* scene = variables.strings.find("SCENE");
  if (scene) noteUnsavableText("SCENE", *scene);
  out.row().field(scene ? std::string_view(*scene) : "-");
}

// The settings the player chose, whatever the loaded file held.
void keepPlayerSettings(ScriptEngine& engine,
                        const std::vector<std::pair<const char*, int32_t>>& kept) {
  VariableStore& variables = engine.variables();
  for (const auto& [name, value] : kept)
    variables.intVariable(name) = value;
  auto volume = [](int32_t attenuation) { return attenuation / 100 + 100; };
  variables.intVariable("Volume-Music") = volume(engine.companion<MusicPlayer>().attenuation());
  const SoundChannels& sound = engine.companion<SoundChannels>();
  variables.intVariable("Volume-Sound") = volume(sound.effects.attenuation());
  variables.intVariable("Volume-Voice") = volume(sound.voice.attenuation());
  variables.intVariable("Flag-Skip") = 0;
}

void restoreGame(ScriptEngine& engine, const SaveText& text) {
  restoreVariables(engine.variables(), text);
  restoreScripts(engine, text);
  restoreThreads(engine, text);
  DisplayList& stage = engine.companion<DisplayList>();
  restoreSprites(stage.sprites(), engine.archives(), text);
  restoreObjects(stage.objects(), stage.sprites(), text);
  restoreText(engine.companion<TextLayer>(), text);
  if (std::optional<SaveSection> music = text.section("MUSIC"))
    engine.companion<MusicPlayer>().restoreRecord(music->take());
  if (std::optional<SaveSection> sound = text.section("SOUND"))
    engine.companion<SoundChannels>().effects.restoreRecord(sound->take());
  restoreMenu(engine.companion<MenuBar>(), text);
}

}  // namespace

std::string saveDate(const std::tm& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d年%02d月%02d日%02d時%02d分", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min);
  return utf8ToCp932(text);
}

std::string writeSaveText(ScriptEngine& engine, const std::string& date) {
  SaveWriter out;
  VariableStore& variables = engine.variables();
  DisplayList& stage = engine.companion<DisplayList>();
  const TextLayer& text = engine.companion<TextLayer>();
  out.row().field("#DATE");
  out.row().field(date);
  writeSceneSection(variables, out);
  writeMenuSection(engine.companion<MenuBar>(), out);
  writeProcessSection(engine, out);
  writeThreadSection(engine, out);
  writeIntVariables(variables, out);
  writeFloatVariables(variables, out);
  writeStringVariables(variables, out);
  writeIntArrays(variables, out);
  writeFloatArrays(variables, out);
  writeStringArrays(variables, out);
  engine.companion<MusicPlayer>().writeSaveSection(out);
  engine.companion<SoundChannels>().effects.writeSaveSection(out);
  writeSpriteSection(stage.sprites(), out);
  writeObjectSection(stage.objects(), out);
  writeTextSection(text, out);
  writeLogSection(text, out);
  writeEditSection(text, out);
  return out.finish();
}

bool saveGame(ScriptEngine& engine, const std::string& path) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::string content = writeSaveText(engine, saveDate(local));
  return replaceFileAtomically(engine.files().outputPath(path),
                               packBlock(content, PackRequest::Compress));
}

void saveGameAndReport(ScriptEngine& engine, const std::string& path) {
  if (saveGame(engine, path)) {
    tell(engine, "確認", "セーブしました", MessageIcon::Information);
  } else {
    tell(engine, "警告", "セーブに失敗しました", MessageIcon::Error);
  }
}

LoadResult loadGame(ScriptEngine& engine, const std::string& path,
                    std::optional<int32_t> loadingThread) {
  std::optional<std::string> file = ReadWholeFile(path, engine.archives(), engine.files());
  if (!file) return LoadResult::Unreadable;
  std::optional<std::string> content = unpackBlock(*file);
  if (!content) return LoadResult::InvalidBlock;
  SaveText text;
  if (!text.parse(*content) || !text.hasSaveSections()) {
    tell(engine, "警告", "ロードに失敗しました", MessageIcon::Error);
    return LoadResult::Refused;
  }
  std::vector<std::pair<const char*, int32_t>> kept;
  for (const char* name : kKeptSettings) {
    if (const int32_t* value = engine.variables().ints.find(name)) kept.emplace_back(name, *value);
  }
  engine.unloadAll(loadingThread);
  restoreGame(engine, text);
  keepPlayerSettings(engine, kept);
  engine.services().app.resetFrameTimer();
  tell(engine, "確認", "ロードしました", MessageIcon::Information);
  engine.companion<InputDevices>().clearEvents();
  return LoadResult::Loaded;
}

std::optional<SaveHeader> readSaveHeader(ScriptEngine& engine, const std::string& path) {
  std::optional<std::string> file = ReadWholeFile(path, engine.archives(), engine.files());
  if (!file) return std::nullopt;
  std::optional<std::string> content = unpackBlock(*file);
  SaveText text;
  if (!content || !text.parse(*content)) return std::nullopt;
  SaveHeader header{.date = "", .scene = "-"};
  if (std::optional<SaveSection> date = text.section("DATE"))
    header.date = std::string(fieldAt(date->take(), 0));
  // An empty scene writes no row, so a section without rows holds the empty scene.
  if (std::optional<SaveSection> scene = text.section("SCENE"))
    header.scene = textAt(scene->take(), 0);
  return header;
}

bool confirmedByPlayer(ScriptEngine& engine, const char* question) {
  return engine.services().messageBoxes.show({.caption = "確認",
                                              .text = question,
                                              .buttons = MessageButtons::YesNo,
                                              .icon = MessageIcon::Question,
                                              .defaultAnswer = MessageAnswer::No}) ==
         MessageAnswer::Yes;
}

}  // namespace avg
