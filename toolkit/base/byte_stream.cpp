#include "toolkit/base/byte_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr int64_t kMaxStreamSize = std::numeric_limits<int32_t>::max();

// ---- memory streams ----

void MemorySetSize(TByteStream* s, uint32_t size) {
  if (size > kMaxStreamSize) return;  // beyond what a 32-bit signed size holds
  int32_t n = static_cast<int32_t>(size);
  if (n > s->Capacity) {
    void* block = std::realloc(s->Block, static_cast<size_t>(n));
    if (!block) throw std::bad_alloc();
    s->Block = static_cast<uint8_t*>(block);
  }
  s->Size = n;
  if (s->Position > n) s->Position = n;
}

uint32_t MemorySeek(TByteStream* s, int32_t offset, uint8_t origin) {
  int64_t target = offset;
  if (origin == kFromCurrent) target += s->Position;
  if (origin == kFromEnd) target += s->Size;
  if (target < 0 || target > kMaxStreamSize) return kInvalidSetFilePointer;
  if (target > s->Size) MemorySetSize(s, static_cast<uint32_t>(target));
  s->Position = static_cast<int32_t>(target);
  return static_cast<uint32_t>(target);
}

uint32_t MemoryGetSize(TByteStream* s) {
  return static_cast<uint32_t>(s->Size);
}

uint32_t MemoryRead(TByteStream* s, void* buffer, uint32_t count) {
  uint32_t left = static_cast<uint32_t>(s->Size - s->Position);
  count = std::min(count, left);
  if (count == 0) return 0;
  std::memcpy(buffer, s->Block + s->Position, count);
  s->Position += static_cast<int32_t>(count);
  return count;
}

uint32_t MemoryWrite(TByteStream* s, const void* buffer, uint32_t count) {
  int64_t end = static_cast<int64_t>(s->Position) + count;
  if (end > kMaxStreamSize) return 0;
  if (end > s->Size) MemorySetSize(s, static_cast<uint32_t>(end));
  if (count == 0) return 0;
  std::memcpy(s->Block + s->Position, buffer, count);
  s->Position = static_cast<int32_t>(end);
  return count;
}

void MemoryClose(TByteStream* s) {
  std::free(s->Block);
  s->Block = nullptr;
}

constexpr TStreamOps kMemoryOps = {MemorySeek, MemoryGetSize, MemorySetSize,
                                   MemoryRead, MemoryWrite,   MemoryClose};

// ---- file streams ----

uint32_t FileSeek(TByteStream* s, int32_t offset, uint8_t origin) {
  return SetFilePosition(s->FileHandle, offset, origin);
}

uint32_t FileGetSize(TByteStream* s) {
  return GetFileSizeOf(s->FileHandle);
}

void NoSetSize(TByteStream*, uint32_t) {}

uint32_t NoRead(TByteStream*, void*, uint32_t) {
  return 0;
}

uint32_t NoWrite(TByteStream*, const void*, uint32_t) {
  return 0;
}

uint32_t FileWrite(TByteStream* s, const void* buffer, uint32_t count) {
  return WriteToFile(s->FileHandle, buffer, count);
}

// Write streams cut the file right after the bytes just written, so writing a
// file from its start leaves no tail of an older, longer file.
uint32_t FileWriteAndTruncate(TByteStream* s, const void* buffer, uint32_t count) {
  uint32_t done = WriteToFile(s->FileHandle, buffer, count);
  SetEndOfFileHere(s->FileHandle);
  return done;
}

void FileClose(TByteStream* s) {
  CloseFile(s->FileHandle);
  s->FileHandle = kInvalidFileHandle;
}

void ForgetHandle(TByteStream* s) {
  s->FileHandle = kInvalidFileHandle;
}

}  // namespace

// ---- buffered file reading ----

// The bytes of the file from offset Start, Length of them valid, the next one
// to hand out at Offset. The operating system's file pointer stands at
// Start + Length whenever the buffer holds bytes.
struct TReadAhead {
  static constexpr uint32_t kSize = 64 * 1024;
  uint32_t Start = 0;
  uint32_t Length = 0;
  uint32_t Offset = 0;
  uint8_t Data[kSize];
};

namespace {

// Puts the file pointer back where the reader stands and empties the buffer.
void DropReadAhead(TByteStream* s) {
  TReadAhead* r = s->ReadBuffer;
  uint32_t unread = r->Length - r->Offset;
  if (unread > 0) SetFilePosition(s->FileHandle, -static_cast<int32_t>(unread), kFromCurrent);
  r->Start = r->Length = r->Offset = 0;
}

uint32_t BufferedSeek(TByteStream* s, int32_t offset, uint8_t origin) {
  TReadAhead* r = s->ReadBuffer;
  if (r->Length > 0 && origin != kFromEnd) {
    int64_t target = origin == kFromCurrent ? int64_t{r->Start} + r->Offset + offset : offset;
    if (origin <= kFromCurrent && target >= r->Start && target <= int64_t{r->Start} + r->Length) {
      r->Offset = static_cast<uint32_t>(target - r->Start);
      return static_cast<uint32_t>(target);
    }
  }
  if (r->Length > 0) DropReadAhead(s);
  return SetFilePosition(s->FileHandle, offset, origin);
}

uint32_t BufferedRead(TByteStream* s, void* buffer, uint32_t count) {
  TReadAhead* r = s->ReadBuffer;
  auto* out = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    if (r->Offset == r->Length) {
      uint32_t next = r->Length > 0 ? r->Start + r->Length : s->Seek(0, kFromCurrent);
      if (next == kInvalidSetFilePointer) break;
      uint32_t want = count - done;
      if (want >= TReadAhead::kSize) {  // large reads go straight to the caller
        uint32_t got = ReadFromFile(s->FileHandle, out + done, want);
        r->Start = next + got;
        r->Length = r->Offset = 0;
        done += got;
        break;
      }
      r->Start = next;
      r->Offset = 0;
      r->Length = ReadFromFile(s->FileHandle, r->Data, TReadAhead::kSize);
      if (r->Length == 0) break;
    }
    uint32_t take = std::min(count - done, r->Length - r->Offset);
    std::memcpy(out + done, r->Data + r->Offset, take);
    r->Offset += take;
    done += take;
  }
  return done;
}

void BufferedClose(TByteStream* s) {
  delete s->ReadBuffer;
  s->ReadBuffer = nullptr;
  FileClose(s);
}

constexpr TStreamOps kFileOps = {FileSeek, FileGetSize, NoSetSize, NoRead, NoWrite, FileClose};

}  // namespace

void TByteStream::Reserve(int32_t capacity) {
  if (Ops.Seek != kMemoryOps.Seek || capacity <= Capacity || capacity < Size) return;
  void* block = std::realloc(Block, static_cast<size_t>(capacity));
  if (!block) throw std::bad_alloc();
  Block = static_cast<uint8_t*>(block);
  Capacity = capacity;
}

void TByteStream::Destroy() {
  if (Ops.Close) Ops.Close(this);
  TBaseObject::Destroy();
}

TByteStream* MakeFileReader(const char* fileName) {
  auto* s = new TByteStream();
  s->Ops = kFileOps;
  s->Ops.Seek = BufferedSeek;
  s->Ops.Read = BufferedRead;
  s->Ops.Close = BufferedClose;
  s->FileHandle = OpenFileForReading(fileName);
  s->ReadBuffer = new TReadAhead;  // its bytes untouched until a small read needs them
  return s;
}

TByteStream* MakeFileWriter(const char* fileName) {
  auto* s = new TByteStream();
  s->Ops = kFileOps;
  s->Ops.Write = FileWriteAndTruncate;
  s->FileHandle = OpenFileForWriting(fileName);
  return s;
}

TByteStream* MakeHandleWriter(TFileHandle file) {
  auto* s = new TByteStream();
  s->Ops = kFileOps;
  s->Ops.Write = FileWrite;
  s->Ops.Close = ForgetHandle;
  s->FileHandle = file;
  return s;
}

TByteStream* MakeMemoryStream() {
  auto* s = new TByteStream();
  s->Ops = kMemoryOps;
  return s;
}

uint32_t StreamCopy(TByteStream* destination, TByteStream* source, uint32_t count) {
  if (source->Block) {
    uint32_t left = static_cast<uint32_t>(source->Size - source->Position);
    uint32_t n = std::min(count, left);
    uint32_t taken = destination->Write(source->Block + source->Position, n);
    source->Position += static_cast<int32_t>(taken);
    return taken;
  }
  if (destination->Block) {
    int64_t end = int64_t{destination->Position} + count;
    if (end > destination->Size) destination->SetSize(static_cast<uint32_t>(end));
    if (end > destination->Size) return 0;  // could not grow
    uint32_t got = source->Read(destination->Block + destination->Position, count);
    destination->Position += static_cast<int32_t>(got);
    return got;
  }
  // Neither side has a block: pass the bytes through a bounded buffer, so a
  // large count never drives a large allocation.
  constexpr uint32_t kChunk = 64 * 1024;
  uint8_t* buffer = static_cast<uint8_t*>(std::malloc(std::min(count, kChunk) + 1));
  if (!buffer) throw std::bad_alloc();
  uint32_t copied = 0;
  while (copied < count) {
    uint32_t got = source->Read(buffer, std::min(count - copied, kChunk));
    uint32_t put = destination->Write(buffer, got);
    copied += put;
    if (got == 0 || put < got) break;
  }
  std::free(buffer);
  return copied;
}
