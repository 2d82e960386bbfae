#include "script/engine.h"

#include "script/command_table.h"
#include "script/exec.h"
#include "script/int_ops.h"

namespace avg {

ScriptEngine::ScriptEngine(EngineServices services)
    : services_(services),
      commands_(std::make_unique<CommandTable>()),
      readFlags_(services.files),
      globalFlags_(services.files),
      randomState_(services.randomSeed) {
  services.registerCommands(*commands_);
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
  // A thread of that id that runs a script is ended first, which may unload its script.
  auto kept = threads_.find(id);
  if (kept != threads_.end() && kept->second.file) {
    endThread(id);
    kept = threads_.end();
  }
  auto it = scripts_.find(slot);
  if (it == scripts_.end()) return nullptr;
  if (kept == threads_.end()) return &startThread(id, *it->second, index);
  // The detached thread that runs the load takes over the saved thread of its id.
  ScriptThread& thread = kept->second;
  moveThread(thread, *it->second);
  thread.index = index;
  thread.waitCounter = 0;
  thread.stack.clear();
  return &thread;
}

void ScriptEngine::unloadAll(std::optional<int32_t> keepId) {
  auto kept = keepId ? threads_.find(*keepId) : threads_.end();
  if (kept != threads_.end() && kept->second.file) {
    kept->second.file->threads.erase(kept->first);
    kept->second.file = nullptr;
  }
  for (auto it = threads_.begin(); it != threads_.end();) {
    if (it == kept) {
      ++it;
    } else {
      removeThread(it++);
    }
  }
  scripts_.clear();
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

void ScriptEngine::skipAnimations(int32_t frames) {
  for (auto& companion : companions_)
    companion->skipAnimations(frames);
}

const void* const* ScriptEngine::primitiveLabels() {
  static const void* const* labels = nullptr;
  if (!labels) execute(nullptr, &labels);
  return labels;
}

// Threaded dispatch: every instruction holds the address of its primitive's code, and every
// primitive jumps straight to the next one, so each has its own well-predicted indirect
// branch. Sequential steps reach the End sentinel at the latest; computed targets are
// clamped to it.
bool ScriptEngine::execute(ScriptThread* thread, const void* const** labels) {
#define AVG_INT_OP_LABEL(name, keyword, expression) &&op_##name,
#define AVG_FUSED_LABELS(name, expression) \
  &&op_##name##ThenSkipIfZero, &&op_##name##ThenSkipIfNonZero,
  static const void* const kDispatch[] = {&&op_End,
                                          &&op_Call,
                                          &&op_Nop,
                                          &&op_Next,
                                          &&op_Jump,
                                          &&op_JumpBy,
                                          &&op_SkipIfZero,
                                          &&op_SkipIfNonZero,
                                          AVG_INT_OPERATORS(AVG_INT_OP_LABEL)
                                              AVG_INT_COMPARISONS(AVG_FUSED_LABELS)};
#undef AVG_FUSED_LABELS
#undef AVG_INT_OP_LABEL
  static_assert(std::size(kDispatch) == static_cast<size_t>(Op::Count),
                "one label per Op, in the order of Op");
  if (labels) {
    *labels = kDispatch;
    return false;
  }

  const Instruction* base;
  const Instruction* last;  // the End sentinel
  const Instruction* ip;
  auto at = [&](int32_t index) {
    auto end = static_cast<uint32_t>(last - base);
    return base + (static_cast<uint32_t>(index) > end ? end : static_cast<uint32_t>(index));
  };
  auto indexOf = [&](const Instruction* at) { return static_cast<int32_t>(at - base); };
#define AVG_DISPATCH() goto * ip->label
// Steps ahead by `taken` or `notTaken` instructions. Each way has its own dispatch, so the
// step is a predicted branch rather than a data dependency of the next dispatch.
#define AVG_BRANCH(condition, taken, notTaken) \
  if (condition) {                             \
    ip += (taken);                             \
    if (ip > last) ip = last;                  \
    AVG_DISPATCH();                            \
  }                                            \
  ip += (notTaken);                            \
  if (ip > last) ip = last;                    \
  AVG_DISPATCH()

enter:
  base = thread->file->code.data();
  last = base + thread->file->commands.size();
  ip = at(thread->index);
  AVG_DISPATCH();

op_End:
  thread->index = indexOf(ip);
  return false;
op_Call : {
  thread->index = indexOf(ip);
  Exec exec{*this, *thread, thread->file->commands[thread->index]};
  Outcome outcome = ip->handler(exec);
  if (outcome == Outcome::Yield) return true;
  if (outcome == Outcome::End) return false;
  // The handler may have moved the thread to another script or recompiled this one.
  goto enter;
}
op_Nop:
  ++ip;
  AVG_DISPATCH();
op_Next:
  thread->index = indexOf(ip) + 1;
  return true;
op_Jump:
  ip = base + ip->target;
  AVG_DISPATCH();
op_JumpBy : {
  int32_t by = *ip->a;
  ip = at(intops::add(indexOf(ip), by == 0 ? 1 : by));
  AVG_DISPATCH();
}
op_SkipIfZero:
  AVG_BRANCH(*ip->a == 0, 2, 1);
op_SkipIfNonZero:
  AVG_BRANCH(*ip->a != 0, 2, 1);

#define AVG_INT_OP_BODY(name, keyword, expression)       \
  op_##name : {                                          \
    const Instruction& in = *ip;                         \
    [[maybe_unused]] const int32_t a = *in.a, b = *in.b; \
    *in.d = (expression);                                \
    ++ip;                                                \
    AVG_DISPATCH();                                      \
  }
  AVG_INT_OPERATORS(AVG_INT_OP_BODY)
#undef AVG_INT_OP_BODY

  // A fused comparison steps over its skip command (1) and, when the skip is taken, the
  // command after it (1 more).
#define AVG_FUSED_BODY(name, expression) \
  op_##name##ThenSkipIfZero : {          \
    const Instruction& in = *ip;         \
    const int32_t a = *in.a, b = *in.b;  \
    const int32_t result = (expression); \
    *in.d = result;                      \
    AVG_BRANCH(result == 0, 3, 2);       \
  }                                      \
  op_##name##ThenSkipIfNonZero : {       \
    const Instruction& in = *ip;         \
    const int32_t a = *in.a, b = *in.b;  \
    const int32_t result = (expression); \
    *in.d = result;                      \
    AVG_BRANCH(result != 0, 3, 2);       \
  }
  AVG_INT_COMPARISONS(AVG_FUSED_BODY)
#undef AVG_FUSED_BODY
#undef AVG_BRANCH
#undef AVG_DISPATCH
}

}  // namespace avg
