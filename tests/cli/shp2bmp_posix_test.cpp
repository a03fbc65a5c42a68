// What only a POSIX system lets a test arrange: a full disk, a terminal and
// a command line of 65536 file names.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "shp2bmp_test_util.h"
#include "format_shp/shp.h"
#include "support/bmp_image.h"

namespace {

// While it lives, no file written here or by a program started here grows
// past 512 bytes, as on a full disk: the image (1086 bytes) cannot be
// written whole, the error line can. The signal that would end the writer
// is ignored, which a started program inherits.
class TFullDisk {
 public:
  TFullDisk() : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = {512, previous_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, handler_);
  }

 private:
  void (*handler_)(int);
  rlimit previous_{};
};

TEST(Shp2BmpPosix, AFullDiskLeavesTheOldFileAndNoPartialOne) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText({{1, 2, 3}}));
  f.Put("unit.shp", EncodeShp(2, 2, {RawFrame(0, 0, {{1, 2}})}));
  f.MakeFolder("out");
  f.PutText("out/unit001.bmp", "an older image");
  TProcessResult r;
  {
    TFullDisk full;
    r = f.Run({"--palette", "p.pal", "--out", "out", "unit.shp"});
  }
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("cannot write out/unit001.bmp"), std::string::npos) << r.Err;
  EXPECT_EQ(f.FilesIn("out"), std::vector<std::string>{"unit001.bmp"});
  TBytes old = ReadFileBytes(f.File("out/unit001.bmp"));
  EXPECT_EQ(std::string(old.begin(), old.end()), "an older image");
}

TEST(ShpToolPosix, EncodeOnAFullDiskKeepsTheOldFileAndNoPartialOne) {
  TConverterFolder f;
  // Pixels that no run shortens: the sprite is larger than the disk's room.
  std::vector<TBytes> rows(32, TBytes(32));
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x)
      rows[y][x] = static_cast<uint8_t>(1 + (x * 7 + y * 3) % 200);
  }
  f.Put("a.bmp", FrameImage(32, 32, TestPalette(), rows));
  f.PutText("unit.shp", "an older sprite");
  TProcessResult r;
  {
    TFullDisk full;
    r = f.RunShpTool({"encode", "--out", "unit.shp", "a.bmp"});
  }
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(r.Err, "shptool encode: unit.shp: cannot write the sprite file\n");
  EXPECT_EQ(f.FilesIn(), (std::vector<std::string>{"a.bmp", "unit.shp"}));
  TBytes old = ReadFileBytes(f.File("unit.shp"));
  EXPECT_EQ(std::string(old.begin(), old.end()), "an older sprite");
}

TEST(ShpToolPosix, EncodeRefusesMoreThan65535Frames) {
  TConverterFolder f;
  f.Put("a.bmp", FrameImage(1, 1, TestPalette(), {{1}}));
  std::vector<std::string> args = {"encode", "--quiet", "--out", "many.shp"};
  args.insert(args.end(), 65536, "a.bmp");
  TProcessResult r = f.RunShpTool(args);
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(r.Err,
            "shptool encode: a.bmp: one frame too many: a sprite holds at most 65535 frames\n");
  EXPECT_FALSE(std::filesystem::exists(f.File("many.shp")));
  args.pop_back();
  EXPECT_EQ(f.RunShpTool(args).ExitCode, 0);
  TShp* shp = new TShp();
  shp->LoadShpFile(f.File("many.shp").c_str());
  EXPECT_EQ(shp->FrameCount, 65535);
  Free(shp);
}

// Runs the converter with all three standard streams on a terminal and
// answers what the terminal showed.
std::string RunOnTerminal(const std::vector<std::string>& args, const std::string& folder) {
  std::vector<char*> argv = {const_cast<char*>(SHP2BMP_PATH)};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int terminal = -1;
  pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    if (::chdir(folder.c_str()) == 0) ::execv(SHP2BMP_PATH, argv.data());
    ::_exit(127);
  }
  std::string shown;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(terminal, buffer, sizeof buffer)) > 0)
    shown.append(buffer, static_cast<size_t>(got));
  ::close(terminal);
  ::waitpid(child, nullptr, 0);
  return shown;
}

TEST(Shp2BmpPosix, ABatchShowsProgressOnATerminalOnly) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText({{1, 2, 3}}));
  for (const char* name : {"a.shp", "b.shp", "c.shp"})
    f.Put(name, EncodeShp(2, 2, {RawFrame(0, 0, {{1, 2}})}));
  std::string shown = RunOnTerminal({"--palette", "p.pal", "a.shp", "b.shp", "c.shp"}, f.File(""));
  EXPECT_NE(shown.find("\r[1/3] a.shp"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r[3/3] c.shp"), std::string::npos) << shown;
  EXPECT_EQ(f.FilesIn().size(), 7u);  // three sprites, a palette, three images

  TProcessResult r = f.Run({"--palette", "p.pal", "a.shp", "b.shp", "c.shp"});
  EXPECT_EQ(r.Err, "");
  std::string quiet =
      RunOnTerminal({"--quiet", "--palette", "p.pal", "a.shp", "b.shp"}, f.File(""));
  EXPECT_EQ(quiet.find('['), std::string::npos) << quiet;
}

}  // namespace
