#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/base/file_io.h"

// The bytes of an archive (or of one of its entries), read at offsets from
// its start. Nothing is read ahead: an archive is never held in memory.
class TMixSource {
 public:
  virtual ~TMixSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; false when they are not all
  // inside the source or cannot be read.
  virtual bool ReadAt(uint64_t offset, void* out, uint32_t count) const = 0;
};

// Bytes already in memory, not owned.
class TMemoryMixSource : public TMixSource {
 public:
  TMemoryMixSource(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, uint32_t count) const override;

 private:
  const uint8_t* data_;
  uint64_t size_;
};

// A file on disk. The file layer seeks with 32-bit signed offsets, so only
// files below 2 GiB can be read.
class TFileMixSource : public TMixSource {
 public:
  explicit TFileMixSource(const std::string& path);
  ~TFileMixSource() override;
  TFileMixSource(const TFileMixSource&) = delete;
  TFileMixSource& operator=(const TFileMixSource&) = delete;

  // False when the file cannot be opened, or is 2 GiB or more.
  bool IsOpen() const { return file_ != kInvalidFileHandle; }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, uint32_t count) const override;

 private:
  TFileHandle file_;
  uint64_t size_ = 0;
};

// `size` bytes of another source from `offset`, cut to what the other has.
class TSliceMixSource : public TMixSource {
 public:
  TSliceMixSource(const TMixSource& whole, uint64_t offset, uint64_t size);
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* out, uint32_t count) const override;

 private:
  const TMixSource& whole_;
  uint64_t offset_;
  uint64_t size_;
};

// Hands `size` bytes of the source from `offset` to `sink` in pieces of at
// most kMixCopyChunk bytes, so that an entry of any size takes that much
// memory; false when a read or the sink fails.
constexpr uint32_t kMixCopyChunk = 1u << 20;
bool CopyMixRange(const TMixSource& source, uint64_t offset, uint64_t size,
                  const std::function<bool(const uint8_t* data, uint32_t size)>& sink);
