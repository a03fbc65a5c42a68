#pragma once

#include <cstdint>

#include "toolkit/base/base_object.h"
#include "toolkit/base/file_io.h"

class TByteStream;

// The six operations of a stream, in slot order. Each stream carries its own
// copy, filled by its constructor from the file or memory template.
struct TStreamOps {
  uint32_t (*Seek)(TByteStream* stream, int32_t offset, uint8_t origin);
  uint32_t (*GetSize)(TByteStream* stream);
  void (*SetSize)(TByteStream* stream, uint32_t size);
  uint32_t (*Read)(TByteStream* stream, void* buffer, uint32_t count);
  uint32_t (*Write)(TByteStream* stream, const void* buffer, uint32_t count);
  void (*Close)(TByteStream* stream);
};

struct TReadAhead;

// One read/write/seek interface over a file or a growable memory block.
// Failures show only in the returned counts and positions.
class TByteStream : public TBaseObject {
 public:
  TStreamOps Ops{};
  // Memory block of a memory stream; nil for file streams and empty memory streams.
  uint8_t* Block = nullptr;
  TFileHandle FileHandle = 0;
  // 0 for every stream the system makes: every size change reallocates to
  // exactly the new size. Reserve() raises it where a final size is known.
  int32_t Capacity = 0;
  int32_t Size = 0;
  int32_t Position = 0;
  // Buffer of a file read stream, so byte-by-byte readers cost no system call
  // per byte.
  TReadAhead* ReadBuffer = nullptr;

  uint32_t Seek(int32_t offset, uint8_t origin) { return Ops.Seek(this, offset, origin); }
  uint32_t GetSize() { return Ops.GetSize(this); }
  void SetSize(uint32_t size) { Ops.SetSize(this, size); }
  uint32_t Read(void* buffer, uint32_t count) { return Ops.Read(this, buffer, count); }
  uint32_t Write(const void* buffer, uint32_t count) { return Ops.Write(this, buffer, count); }
  uint32_t GetPosition() { return Seek(0, kFromCurrent); }

  // Memory streams: allocates room for `capacity` bytes at once so that
  // growing up to it does not reallocate. Size and position do not change.
  void Reserve(int32_t capacity);

 protected:
  void Destroy() override;
};

TByteStream* MakeFileReader(const char* fileName);
TByteStream* MakeFileWriter(const char* fileName);
// A write stream on a new, empty file the caller opened and closes itself:
// freeing the stream leaves the handle open. Writes are not followed by a
// cut, as no tail of an older file can be there.
TByteStream* MakeHandleWriter(TFileHandle file);
TByteStream* MakeMemoryStream();

// Copies up to `count` bytes from the source's position to the destination's;
// answers the number of bytes copied.
uint32_t StreamCopy(TByteStream* destination, TByteStream* source, uint32_t count);
