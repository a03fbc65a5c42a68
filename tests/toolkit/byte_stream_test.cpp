#include "toolkit/base/byte_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "support/test_files.h"
#include "toolkit/base/scoped_object.h"

namespace {

TBytes Pattern(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  TBytes bytes(size);
  for (auto& b : bytes)
    b = static_cast<uint8_t>(random());
  return bytes;
}

TEST(MemoryStream, StartsEmptyAndGrowsWithWrites) {
  TScopedObject<TByteStream> m(MakeMemoryStream());
  uint8_t buffer[100] = {};
  EXPECT_EQ(m->GetSize(), 0u);
  EXPECT_EQ(m->GetPosition(), 0u);
  EXPECT_EQ(m->Read(buffer, 10), 0u);
  EXPECT_EQ(m->Block, nullptr);

  EXPECT_EQ(m->Write("abc", 3), 3u);
  EXPECT_EQ(m->Write("defgh", 5), 5u);
  EXPECT_EQ(m->GetSize(), 8u);
  EXPECT_EQ(m->GetPosition(), 8u);
  EXPECT_EQ(m->Seek(0, kFromStart), 0u);
  EXPECT_EQ(m->Read(buffer, 100), 8u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), "abcdefgh");
  EXPECT_EQ(m->Read(buffer, 1), 0u);
}

TEST(MemoryStream, SeekOriginsAndGrowthPastTheEnd) {
  TScopedObject<TByteStream> m(MakeMemoryStream());
  m->Write("abcdefgh", 8);
  EXPECT_EQ(m->Seek(-3, kFromEnd), 5u);
  EXPECT_EQ(m->Seek(1, kFromCurrent), 6u);
  EXPECT_EQ(m->Seek(2, 7), 2u);  // an unknown origin counts from the start
  EXPECT_EQ(m->Seek(20, kFromStart), 20u);
  EXPECT_EQ(m->GetSize(), 20u);
  EXPECT_EQ(m->GetPosition(), 20u);
  // A target before the start is refused and moves nothing.
  EXPECT_EQ(m->Seek(-21, kFromCurrent), kInvalidSetFilePointer);
  EXPECT_EQ(m->GetPosition(), 20u);
}

TEST(MemoryStream, SetSizeCutsThePosition) {
  TScopedObject<TByteStream> m(MakeMemoryStream());
  m->Write("abcdefgh", 8);
  m->SetSize(4);
  EXPECT_EQ(m->GetSize(), 4u);
  EXPECT_EQ(m->GetPosition(), 4u);
  m->Seek(0, kFromStart);
  char buffer[8] = {};
  EXPECT_EQ(m->Read(buffer, 8), 4u);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

TEST(MemoryStream, ReserveKeepsSizeAndContentAndAvoidsReallocation) {
  TScopedObject<TByteStream> m(MakeMemoryStream());
  m->Write("ab", 2);
  m->Reserve(1000);
  EXPECT_EQ(m->Capacity, 1000);
  EXPECT_EQ(m->GetSize(), 2u);
  uint8_t* block = m->Block;
  TBytes filler(998, 7);
  m->Write(filler.data(), 998);
  EXPECT_EQ(m->Block, block);
  EXPECT_EQ(m->GetSize(), 1000u);
  EXPECT_EQ(std::memcmp(m->Block, "ab", 2), 0);
}

TEST(MemoryStream, RefusesToGrowBeyondThirtyTwoBitSizes) {
  TScopedObject<TByteStream> m(MakeMemoryStream());
  m->Write("ab", 2);
  EXPECT_EQ(m->Seek(0x7FFFFFFF, kFromCurrent), kInvalidSetFilePointer);
  EXPECT_EQ(m->Write("x", 0xFFFFFFFFu), 0u);
  EXPECT_EQ(m->GetSize(), 2u);
}

TEST(StreamCopy, FromAMemorySourceCutsToWhatIsLeft) {
  TScopedObject<TByteStream> source(MakeMemoryStream());
  TScopedObject<TByteStream> target(MakeMemoryStream());
  source->Write("0123456789", 10);
  source->Seek(4, kFromStart);
  EXPECT_EQ(StreamCopy(target.Get(), source.Get(), 10), 6u);
  EXPECT_EQ(source->GetPosition(), 10u);
  EXPECT_EQ(target->GetSize(), 6u);
  EXPECT_EQ(std::memcmp(target->Block, "456789", 6), 0);
  EXPECT_EQ(StreamCopy(target.Get(), source.Get(), 10), 0u);
}

TEST(StreamCopy, FromAFileIntoAMemoryBlockAndBetweenFiles) {
  TTempDir dir;
  TBytes content = Pattern(200000, 1);
  WriteFileBytes(dir.File("in.bin"), content);

  TScopedObject<TByteStream> reader(MakeFileReader(dir.File("in.bin").c_str()));
  TScopedObject<TByteStream> memory(MakeMemoryStream());
  memory->Write("xy", 2);  // gives the destination a block
  reader->Seek(100, kFromStart);
  EXPECT_EQ(StreamCopy(memory.Get(), reader.Get(), 1000), 1000u);
  EXPECT_EQ(memory->GetSize(), 1002u);
  EXPECT_EQ(std::memcmp(memory->Block + 2, content.data() + 100, 1000), 0);
  // Asking for more than the file holds copies what is there.
  reader->Seek(-10, kFromEnd);
  EXPECT_EQ(StreamCopy(memory.Get(), reader.Get(), 100), 10u);
  EXPECT_EQ(memory->GetPosition(), 1012u);

  {
    TScopedObject<TByteStream> writer(MakeFileWriter(dir.File("out.bin").c_str()));
    reader->Seek(0, kFromStart);
    EXPECT_EQ(StreamCopy(writer.Get(), reader.Get(), 0xFFFFFFFFu), content.size());
  }
  EXPECT_EQ(ReadFileBytes(dir.File("out.bin")), content);
}

TEST(FileReader, ReadsAndSeeksLikeTheFileAcrossItsBuffer) {
  TTempDir dir;
  TBytes content = Pattern(300000, 2);
  WriteFileBytes(dir.File("data.bin"), content);
  TScopedObject<TByteStream> r(MakeFileReader(dir.File("data.bin").c_str()));
  EXPECT_EQ(r->GetSize(), content.size());

  // Random seeks and reads checked against the content, including steps back
  // of one byte and reads across the buffer's edges.
  std::mt19937 random(3);
  uint32_t position = 0;
  for (int step = 0; step < 3000; ++step) {
    switch (random() % 4) {
      case 0: {
        uint32_t target = random() % (content.size() + 10);
        ASSERT_EQ(r->Seek(static_cast<int32_t>(target), kFromStart), target);
        position = target;
        break;
      }
      case 1:
        if (position > 0) {
          ASSERT_EQ(r->Seek(-1, kFromCurrent), position - 1);
          position -= 1;
        }
        break;
      default: {
        uint32_t want = random() % 3 == 0 ? random() % 100000 : random() % 40;
        TBytes got(want);
        uint32_t expected =
            position >= content.size() ? 0 : std::min<uint32_t>(want, content.size() - position);
        ASSERT_EQ(r->Read(got.data(), want), expected) << "at " << position;
        if (expected > 0) {
          ASSERT_EQ(std::memcmp(got.data(), content.data() + position, expected), 0);
        }
        position += expected;
        break;
      }
    }
    ASSERT_EQ(r->GetPosition(), position);
  }
  EXPECT_EQ(r->Seek(-5, kFromEnd), content.size() - 5);
  EXPECT_EQ(r->Seek(-1, 9), kInvalidSetFilePointer);
}

TEST(FileReader, SeekBeforeTheStartFailsAndKeepsThePosition) {
  TTempDir dir;
  WriteFileBytes(dir.File("a.bin"), {1, 2, 3, 4});
  TScopedObject<TByteStream> r(MakeFileReader(dir.File("a.bin").c_str()));
  uint8_t b = 0;
  r->Read(&b, 1);
  EXPECT_EQ(r->Seek(-2, kFromCurrent), kInvalidSetFilePointer);
  EXPECT_EQ(r->GetPosition(), 1u);
  EXPECT_EQ(r->Read(&b, 1), 1u);
  EXPECT_EQ(b, 2);
}

TEST(FileReader, AFileThatCannotBeOpenedAnswersFailures) {
  TTempDir dir;
  const std::string names[] = {dir.File("missing.bin"), dir.Path().string()};
  for (const std::string& name : names) {
    TScopedObject<TByteStream> r(MakeFileReader(name.c_str()));
    EXPECT_EQ(r->FileHandle, kInvalidFileHandle) << name;
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(r->Read(buffer, 4), 0u);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(r->Seek(0, kFromStart), 0xFFFFFFFFu);
    EXPECT_EQ(r->GetSize(), 0xFFFFFFFFu);
    EXPECT_EQ(r->GetPosition(), 0xFFFFFFFFu);
    EXPECT_EQ(r->Write("x", 1), 0u);
  }
}

// Two opens of one name are one file until another file takes the name.
TEST(FileReader, TellsWhetherTwoHandlesAreOnOneFile) {
  TTempDir dir;
  const std::string a = dir.File("a.bin"), b = dir.File("b.bin");
  WriteFileBytes(a, Pattern(10, 1));
  WriteFileBytes(b, Pattern(10, 1));
  TFileHandle first = OpenFileForReading(a.c_str());
  TFileHandle again = OpenFileForReading(a.c_str());
  TFileHandle other = OpenFileForReading(b.c_str());
  EXPECT_TRUE(IsSameFile(first, again));
  EXPECT_FALSE(IsSameFile(first, other));
  CloseFile(again);
  CloseFile(other);
  // Windows keeps a file open for reading from being replaced; elsewhere
  // the name goes to the new file.
  if (MoveOverFile(b.c_str(), a.c_str())) {
    TFileHandle replaced = OpenFileForReading(a.c_str());
    EXPECT_FALSE(IsSameFile(first, replaced));
    CloseFile(replaced);
  }
  CloseFile(first);
}

TEST(FileWriter, WritingFromTheStartLeavesNoOlderTail) {
  TTempDir dir;
  std::string name = dir.File("out.bin");
  WriteFileBytes(name, TBytes(100, 0xEE));
  {
    TScopedObject<TByteStream> w(MakeFileWriter(name.c_str()));
    EXPECT_EQ(w->GetSize(), 100u);  // an existing file is opened, not emptied
    EXPECT_EQ(w->Write("abc", 3), 3u);
    EXPECT_EQ(w->GetSize(), 3u);
    EXPECT_EQ(w->Write("de", 2), 2u);
    uint8_t b;
    EXPECT_EQ(w->Read(&b, 1), 0u);
  }
  TBytes expected = {'a', 'b', 'c', 'd', 'e'};
  EXPECT_EQ(ReadFileBytes(name), expected);

  // Writing after a seek back cuts the file right after the new bytes.
  {
    TScopedObject<TByteStream> w(MakeFileWriter(name.c_str()));
    w->Seek(1, kFromStart);
    w->Write("Z", 1);
  }
  expected = {'a', 'Z'};
  EXPECT_EQ(ReadFileBytes(name), expected);
}

TEST(FileWriter, CreatesAMissingFileAndFailsInAMissingFolder) {
  TTempDir dir;
  {
    TScopedObject<TByteStream> w(MakeFileWriter(dir.File("new.bin").c_str()));
    EXPECT_EQ(w->Write("12", 2), 2u);
  }
  EXPECT_EQ(ReadFileBytes(dir.File("new.bin")), (TBytes{'1', '2'}));
  TScopedObject<TByteStream> w(MakeFileWriter(dir.File("no/such/new.bin").c_str()));
  EXPECT_EQ(w->FileHandle, kInvalidFileHandle);
  EXPECT_EQ(w->Write("12", 2), 0u);
}

}  // namespace
