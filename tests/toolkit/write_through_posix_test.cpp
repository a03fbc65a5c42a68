// What only POSIX lets a test arrange around the write-through routine and
// the file layer: planted links, permission bits and the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/test_files.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/write_through.h"

namespace {

namespace fs = std::filesystem;

const TBytes kOther = {'o', 't', 'h', 'e', 'r'};
const TBytes kNew = {'n', 'e', 'w'};

bool WriteNew(const std::string& target) {
  return WriteThroughTemporary(target, [](TByteStream* file) {
    return file->Write(kNew.data(), static_cast<uint32_t>(kNew.size())) == kNew.size();
  });
}

// A link in the name's place, wherever it points (a plain file there is
// tested on both systems).
TEST(FileLayerPosix, CreateNewFileRefusesALinkWhereverItPoints) {
  for (const char* linkTo : {"other.bin", "missing.bin"}) {
    SCOPED_TRACE(linkTo);
    TTempDir dir;
    WriteFileBytes(dir.File("other.bin"), kOther);
    fs::create_symlink(dir.File(linkTo), dir.File("new.bin"));
    TFileHandle file = CreateNewFile(dir.File("new.bin").c_str());
    EXPECT_EQ(file, kInvalidFileHandle);
    CloseFile(file);
    EXPECT_EQ(ReadFileBytes(dir.File("other.bin")), kOther);
    EXPECT_FALSE(fs::exists(dir.File("missing.bin")));
  }
}

// A link at the name every write once used for its temporary file, and a
// target that is a link: the file they point to stays as it was, and the
// target becomes the new file.
TEST(WriteThroughPosix, NeverWritesThroughALink) {
  for (const char* link : {"out.bin.partial", "out.bin"}) {
    SCOPED_TRACE(link);
    TTempDir dir;
    WriteFileBytes(dir.File("other.bin"), kOther);
    fs::create_symlink(dir.File("other.bin"), dir.File(link));
    EXPECT_TRUE(WriteNew(dir.File("out.bin")));
    EXPECT_EQ(ReadFileBytes(dir.File("other.bin")), kOther);
    EXPECT_FALSE(fs::is_symlink(dir.File("out.bin")));
    EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), kNew);
  }
}

TEST(WriteThroughPosix, AReplacedFileKeepsItsModeAndANewOneGetsThePlainOne) {
  constexpr int kNone = -1;  // no file before
  constexpr int kLink = -2;  // a link to a file of mode 0600
  struct TCase {
    int Before;
    mode_t Umask;
    mode_t After;
  } cases[] = {
      {0640, 022, 0640},  {0604, 077, 0604}, {0755, 022, 0755},  {kNone, 022, 0644},
      {kNone, 077, 0600}, {kNone, 0, 0666},  {kLink, 022, 0644},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "before " << std::oct << c.Before << ", umask " << c.Umask);
    TTempDir dir;
    std::string target = dir.File("out.bin");
    if (c.Before == kLink) {
      WriteFileBytes(dir.File("other.bin"), kOther);
      ::chmod(dir.File("other.bin").c_str(), 0600);
      fs::create_symlink(dir.File("other.bin"), target);
    } else if (c.Before != kNone) {
      WriteFileBytes(target, kOther);
      ::chmod(target.c_str(), static_cast<mode_t>(c.Before));
    }
    mode_t previous = ::umask(c.Umask);
    bool written = WriteNew(target);
    ::umask(previous);
    EXPECT_TRUE(written);
    struct stat info;
    ASSERT_EQ(::lstat(target.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, c.After);
  }
}

}  // namespace
