#include "cli/export_jobs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

namespace {

// The files of each group, in argument order; groups in order of their first file.
std::vector<std::vector<size_t>> FilesByGroup(const std::vector<size_t>& groupOfFile) {
  std::vector<std::vector<size_t>> groups;
  for (size_t file = 0; file < groupOfFile.size(); ++file) {
    size_t group = groupOfFile[file];
    if (group >= groups.size()) groups.resize(group + 1);
    groups[group].push_back(file);
  }
  return groups;
}

// Workers take whole groups in order; the calling thread waits for each
// file in turn and emits it.
class TJobBoard {
 public:
  TJobBoard(const std::vector<size_t>& groupOfFile, const std::function<void(size_t)>& convert)
      : groups_(FilesByGroup(groupOfFile)), done_(groupOfFile.size(), false), convert_(convert) {}

  void Work() {
    for (size_t group = nextGroup_++; group < groups_.size(); group = nextGroup_++) {
      for (size_t file : groups_[group]) {
        convert_(file);
        std::lock_guard lock(mutex_);
        done_[file] = true;
        changed_.notify_all();
      }
    }
  }

  void WaitFor(size_t file) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return bool(done_[file]); });
  }

  size_t GroupCount() const { return groups_.size(); }

 private:
  std::vector<std::vector<size_t>> groups_;
  std::atomic<size_t> nextGroup_ = 0;
  std::vector<bool> done_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void(size_t)>& convert_;
};

}  // namespace

std::string FoldedName(const std::string& spriteName) {
  std::string folded = spriteName;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::string OutputNameKey(const std::string& spriteName) {
  std::string key = FoldedName(spriteName);
  while (!key.empty() && key.back() >= '0' && key.back() <= '9')
    key.pop_back();
  return key;
}

std::vector<size_t> GroupsOfSprites(
    const std::vector<std::string>& names,
    const std::function<std::optional<uint32_t>(size_t file)>& frameCount) {
  // The folded names under each digit-free key.
  std::map<std::string, std::set<std::string>> namesOfKey;
  for (const std::string& name : names)
    namesOfKey[OutputNameKey(name)].insert(FoldedName(name));
  // "tank" frame 1001 is "tank1" frame 1; frame 1000 would be "tank1"
  // frame 0, which no sprite has.
  constexpr uint32_t kFirstSharedNumber = 1001;
  std::set<std::string> joined;
  for (size_t file = 0; file < names.size(); ++file) {
    std::string key = OutputNameKey(names[file]);
    if (namesOfKey[key].size() < 2 || joined.contains(key)) continue;
    std::optional<uint32_t> count = frameCount(file);
    if (!count || *count >= kFirstSharedNumber) joined.insert(key);
  }
  // A joined key never equals another key's folded name: that name would
  // have the joined key itself.
  std::vector<std::string> keys;
  for (const std::string& name : names) {
    std::string key = OutputNameKey(name);
    keys.push_back(joined.contains(key) ? key : FoldedName(name));
  }
  return GroupsOfKeys(keys);
}

std::vector<size_t> GroupsOfKeys(const std::vector<std::string>& keys) {
  std::map<std::string, size_t> numbers;
  std::vector<size_t> groups;
  for (const std::string& key : keys)
    groups.push_back(numbers.emplace(key, numbers.size()).first->second);
  return groups;
}

void RunFileJobs(const std::vector<size_t>& groupOfFile, unsigned workers,
                 const std::function<void(size_t file)>& convert,
                 const std::function<void(size_t file)>& emit) {
  TJobBoard board(groupOfFile, convert);
  std::vector<std::thread> threads;
  unsigned wanted = static_cast<unsigned>(std::min<size_t>(workers, board.GroupCount()));
  try {
    for (unsigned i = 0; wanted > 1 && i < wanted; ++i)
      threads.emplace_back([&board] { board.Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those started take all the work.
  }
  if (threads.empty()) {
    for (size_t file = 0; file < groupOfFile.size(); ++file) {
      convert(file);
      emit(file);
    }
    return;
  }
  for (size_t file = 0; file < groupOfFile.size(); ++file) {
    board.WaitFor(file);
    emit(file);
  }
  for (std::thread& thread : threads)
    thread.join();
}
