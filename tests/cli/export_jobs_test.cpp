// Several files on several workers: the same files, lines and exit status
// as on one worker, in argument order.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "app/demo/demo_folder.h"
#include "cli/export_jobs.h"
#include "shp2bmp_test_util.h"

namespace {

// Names whose files could collide share a key; others do not.
TEST(ExportJobs, NamesThatCouldShareFilesShareAKey) {
  struct TCase {
    const char* a;
    const char* b;
    bool same;
  };
  const TCase cases[] = {
      {"tank", "tank", true},     {"tank", "tank1", true},  // tank1100 either way
      {"Tank", "tANK", true},     {"t2k", "t2k99", true},  {"tank", "tan", false},
      {"tank1", "tank_1", false}, {"", "7", true},         {"a", "b", false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(OutputNameKey(c.a) == OutputNameKey(c.b), c.same) << c.a << " " << c.b;
  EXPECT_EQ(GroupsOfKeys({"x", "y", "x", "z", "y"}), (std::vector<size_t>{0, 1, 0, 2, 1}));
}

// Files share a group where their frame files could share names, and the
// frame counts are read only where the names differ by trailing digits.
TEST(ExportJobs, FilesWhoseFramesCouldMeetShareAGroup) {
  struct TCase {
    const char* what;
    std::vector<std::string> names;
    std::vector<std::optional<uint32_t>> counts;
    std::vector<size_t> groups;
    std::vector<size_t> asked;
  };
  const std::optional<uint32_t> unknown;
  const TCase cases[] = {
      {"names with digits added, few frames",
       {"tank", "tank1", "tank2"},
       {24, 24, 24},
       {0, 1, 2},
       {0, 1, 2}},
      {"frame 1001 is tank1's frame 1", {"tank", "tank1", "x"}, {1001, 24, 24}, {0, 0, 1}, {0}},
      {"frame 1000 meets no name", {"tank", "tank1"}, {1000, 1000}, {0, 1}, {0, 1}},
      {"a count that cannot be read", {"tank", "Tank1"}, {24, unknown}, {0, 0}, {0, 1}},
      {"the same name in any case", {"Tank", "tANK", "tank"}, {2000, 2000, 2000}, {0, 0, 0}, {}},
      {"joined with a third name",
       {"t2k", "t2k99", "T2K", "t2"},
       {5, 1001, 5, 9000},
       {0, 0, 0, 1},
       {0, 1}},
  };
  for (const TCase& c : cases) {
    std::vector<size_t> asked;
    auto count = [&](size_t file) {
      asked.push_back(file);
      return c.counts[file];
    };
    EXPECT_EQ(GroupsOfSprites(c.names, count), c.groups) << c.what;
    EXPECT_EQ(asked, c.asked) << c.what;
  }
}

// On three workers, the files of a group run one after another in argument
// order, the others at the same time, and every file is emitted in order.
TEST(ExportJobs, GroupsRunInOrderAndFilesAreEmittedInOrder) {
  const std::vector<size_t> groups = {0, 1, 0, 2, 1, 0};
  std::mutex mutex;
  std::vector<int> state(groups.size(), 0);  // 0 waiting, 1 running, 2 done
  std::vector<size_t> emitted;
  bool overlapped = false;
  auto convert = [&](size_t file) {
    {
      std::lock_guard lock(mutex);
      for (size_t earlier = 0; earlier < file; ++earlier) {
        EXPECT_TRUE(groups[earlier] != groups[file] || state[earlier] == 2) << file;
      }
      state[file] = 1;
      overlapped = overlapped || std::count(state.begin(), state.end(), 1) > 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::lock_guard lock(mutex);
    state[file] = 2;
  };
  auto emit = [&](size_t file) {
    std::lock_guard lock(mutex);
    EXPECT_EQ(state[file], 2);
    emitted.push_back(file);
  };
  RunFileJobs(groups, 3, convert, emit);
  EXPECT_EQ(emitted, (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(overlapped);  // the workers did run at once
}

TEST(ExportJobs, SeveralWorkersWriteAndPrintAsOne) {
  TConverterFolder folder;
  folder.PutText("p.pal", JascPaletteText({{1, 2, 3}, {250, 128, 0}}));
  std::vector<std::string> inputs;
  for (const TDemoFile& demo : DemoFiles()) {
    if (!demo.Name.ends_with(".shp")) continue;
    folder.Put(demo.Name, demo.Bytes);
    inputs.push_back(demo.Name);
  }
  // Two inputs named "tank" (the later one's frames win), one whose frame
  // names could meet theirs, one that is not a sprite and one that is gone.
  folder.MakeFolder("a");
  folder.MakeFolder("b");
  folder.Put("a/tank.shp", ReadFileBytes(folder.File(inputs[0])));
  folder.Put("b/tank.shp", ReadFileBytes(folder.File(inputs[1])));
  folder.Put("tank1.shp", ReadFileBytes(folder.File(inputs[2])));
  folder.Put("bad.shp", {1, 2, 3});
  // "many" frame 1001 and "many1" frame 1 are both "many1001": the later
  // file's image stays, though "many" writes its own last.
  std::vector<TShpFrameIn> frames;
  for (int i = 0; i < 1001; ++i)
    frames.push_back(CodedFrame(0, 0, {{static_cast<uint8_t>(1 + i % 200), 0, 1}}));
  folder.Put("many.shp", EncodeShp(3, 1, frames));
  folder.Put("many1.shp", EncodeShp(3, 1, {CodedFrame(0, 0, {{0, 0, 7}})}));
  std::vector<std::string> files = {"a/tank.shp", inputs[0],    "bad.shp", inputs[1],
                                    "many.shp",   "b/tank.shp", inputs[2], "gone.shp",
                                    "tank1.shp",  "many1.shp",  inputs[3]};

  const std::vector<std::vector<std::string>> commands = {
      {"export", "--format", "png"},
      {"export", "--format", "bmp", "--frames", "2-3"},
      {"export", "--format", "sheet"},
      {"info"},
  };
  for (const std::vector<std::string>& command : commands) {
    TProcessResult runs[2];
    for (int jobs : {1, 3}) {
      std::vector<std::string> args = command;
      args.insert(args.end(), {"--jobs", std::to_string(jobs)});
      if (command[0] == "export")
        args.insert(args.end(), {"--palette", "p.pal", "--out", "out" + std::to_string(jobs)});
      args.insert(args.end(), files.begin(), files.end());
      runs[jobs == 3] = folder.RunShpTool(args);
    }
    std::string name = command[0] + " " + command.back();
    EXPECT_EQ(runs[1].ExitCode, runs[0].ExitCode) << name;
    EXPECT_EQ(runs[0].ExitCode, 1) << name;
    EXPECT_EQ(runs[1].Out, runs[0].Out) << name;
    EXPECT_EQ(runs[1].Err, runs[0].Err) << name;
    EXPECT_NE(runs[0].Err.find("gone.shp"), std::string::npos) << name;
    if (command[0] == "info") continue;
    EXPECT_NE(runs[0].Err.find(
                  "b/tank.shp: warning: its frames get the same names as those of a/tank.shp"),
              std::string::npos)
        << runs[0].Err;
    std::vector<std::string> one = folder.FilesIn("out1");
    ASSERT_EQ(folder.FilesIn("out3"), one) << name;
    ASSERT_GT(one.size(), 5u) << name;
    for (const std::string& file : one)
      EXPECT_EQ(ReadFileBytes(folder.File("out3/" + file)),
                ReadFileBytes(folder.File("out1/" + file)))
          << name << " " << file;
  }
}

}  // namespace
