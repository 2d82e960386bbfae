#include "script/engine.h"

#include "script/command_table.h"
#include "script/exec.h"
#include "script/int_ops.h"

namespace avg {

ScriptEngine::ScriptEngine(EngineServices services)
    : services_(services),
      commands_(std::make_unique<CommandTable>()),
      randomState_(services.randomSeed) {
  registerAllCommands(*commands_);
}

ScriptEngine::~ScriptEngine() {
  // Threads and scripts go first; companions then in reverse order of attachment.
  threads_.clear();
  scripts_.clear();
  while (!companions_.empty())
    companions_.pop_back();
}

int32_t ScriptEngine::nextRandom() {
  randomState_ = randomState_ * 214013u + 2531011u;
  return static_cast<int32_t>((randomState_ >> 16) & 0x7FFF);
}

ScriptFile& ScriptEngine::scriptAt(int32_t slot) {
  std::unique_ptr<ScriptFile>& file = scripts_[slot];
  if (!file) {
    file = std::make_unique<ScriptFile>();
    file->slot = slot;
  }
  return *file;
}

bool ScriptEngine::compileInto(ScriptFile& file, const std::string& name) {
  return compileScript(*this, file, name);
}

void ScriptEngine::removeThread(std::map<int32_t, ScriptThread>::iterator it) {
  ScriptFile* file = it->second.file;
  int32_t id = it->first;
  threads_.erase(it);
  if (!file) return;
  file->threads.erase(id);
  if (file->threads.empty()) scripts_.erase(file->slot);
}

bool ScriptEngine::endThread(int32_t id) {
  auto it = threads_.find(id);
  if (it == threads_.end()) return false;
  removeThread(it);
  return true;
}

void ScriptEngine::endThreadsOf(ScriptFile& file, std::optional<int32_t> exceptId) {
  // Copied first: ending the last thread destroys the file.
  std::vector<int32_t> ids(file.threads.begin(), file.threads.end());
  for (int32_t id : ids) {
    if (id != exceptId) endThread(id);
  }
}

void ScriptEngine::endAllThreadsExcept(int32_t id) {
  std::vector<int32_t> ids;
  for (const auto& [other, thread] : threads_) {
    if (other != id) ids.push_back(other);
  }
  for (int32_t other : ids)
    endThread(other);
}

bool ScriptEngine::endSlot(int32_t slot) {
  auto it = scripts_.find(slot);
  if (it == scripts_.end()) return false;
  if (it->second->threads.empty()) {
    scripts_.erase(it);
  } else {
    endThreadsOf(*it->second);
  }
  return true;
}

ScriptThread& ScriptEngine::startThread(int32_t id, ScriptFile& file, int32_t index) {
  endThread(id);
  ScriptThread& thread = threads_[id];
  thread.id = id;
  thread.file = &file;
  thread.index = index;
  file.threads.insert(id);
  return thread;
}

void ScriptEngine::moveThread(ScriptThread& thread, ScriptFile& to) {
  ScriptFile* from = thread.file;
  thread.file = &to;
  to.threads.insert(thread.id);
  if (from && from != &to) {
    from->threads.erase(thread.id);
    if (from->threads.empty()) scripts_.erase(from->slot);
  }
}

bool ScriptEngine::loadScript(int32_t slot, int32_t id, const std::string& name) {
  ScriptFile* file = restoreScript(slot, name);
  if (!file) return false;
  startThread(id, *file, 0);
  return true;
}

ScriptFile* ScriptEngine::restoreScript(int32_t slot, const std::string& name) {
  endSlot(slot);
  ScriptFile& file = scriptAt(slot);
  if (!compileInto(file, name)) {
    scripts_.erase(slot);
    return nullptr;
  }
  return &file;
}

ScriptThread* ScriptEngine::restoreThread(int32_t id, int32_t slot, int32_t index) {
  auto it = scripts_.find(slot);
  if (it == scripts_.end()) return nullptr;
  return &startThread(id, *it->second, index);
}

size_t ScriptEngine::runThreads() {
  for (auto& companion : companions_)
    companion->beforeThreads();
  auto it = threads_.begin();
  while (it != threads_.end()) {
    int32_t id = it->first;
    if (!runThread(it->second)) endThread(id);
    it = threads_.upper_bound(id);
  }
  for (auto& companion : companions_)
    companion->afterThreads();
  return threads_.size();
}

// Threaded dispatch: every primitive jumps straight to the next one through a table of
// label addresses, so each has its own well-predicted indirect branch. Sequential steps
// reach the End sentinel at the latest; computed targets are clamped to it.
bool ScriptEngine::runThread(ScriptThread& thread) {
#define AVG_INT_OP_LABEL(name, keyword, expression) &&op_##name,
  static const void* const kDispatch[] = {
      &&op_End,        &&op_Call,          &&op_Nop,
      &&op_Next,       &&op_Jump,          &&op_JumpBy,
      &&op_SkipIfZero, &&op_SkipIfNonZero, AVG_INT_OPERATORS(AVG_INT_OP_LABEL)};
#undef AVG_INT_OP_LABEL
  static_assert(static_cast<int>(Op::Assign) == 8, "dispatch table order follows Op");

  const Instruction* code;
  uint32_t end;
  int32_t pc;
#define AVG_DISPATCH() goto* kDispatch[static_cast<uint8_t>(code[pc].op)]
#define AVG_CLAMP_TO_END() \
  if (static_cast<uint32_t>(pc) > end) pc = static_cast<int32_t>(end)

enter:
  code = thread.file->code.data();
  end = static_cast<uint32_t>(thread.file->commands.size());
  pc = thread.index;
  AVG_CLAMP_TO_END();
  AVG_DISPATCH();

op_End:
  thread.index = pc;
  return false;
op_Call : {
  thread.index = pc;
  Exec exec{*this, thread, thread.file->commands[pc]};
  Outcome outcome = code[pc].handler(exec);
  if (outcome == Outcome::Yield) return true;
  if (outcome == Outcome::End) return false;
  // The handler may have moved the thread to another script or recompiled this one.
  goto enter;
}
op_Nop:
  ++pc;
  AVG_DISPATCH();
op_Next:
  thread.index = pc + 1;
  return true;
op_Jump:
  pc = code[pc].target;
  AVG_DISPATCH();
op_JumpBy : {
  int32_t by = *code[pc].a;
  pc = intops::add(pc, by == 0 ? 1 : by);
  AVG_CLAMP_TO_END();
  AVG_DISPATCH();
}
op_SkipIfZero:
  pc += *code[pc].a == 0 ? 2 : 1;
  AVG_CLAMP_TO_END();
  AVG_DISPATCH();
op_SkipIfNonZero:
  pc += *code[pc].a != 0 ? 2 : 1;
  AVG_CLAMP_TO_END();
  AVG_DISPATCH();

#define AVG_INT_OP_BODY(name, keyword, expression)       \
  op_##name : {                                          \
    const Instruction& in = code[pc];                    \
    [[maybe_unused]] const int32_t a = *in.a, b = *in.b; \
    *in.d = (expression);                                \
    ++pc;                                                \
    AVG_DISPATCH();                                      \
  }
  AVG_INT_OPERATORS(AVG_INT_OP_BODY)
#undef AVG_INT_OP_BODY
#undef AVG_CLAMP_TO_END
#undef AVG_DISPATCH
}

}  // namespace avg
