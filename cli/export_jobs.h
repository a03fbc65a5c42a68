#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Files converted on several workers, one file per worker at a time, with
// what each prints put out in argument order as if there were one.

// The sprite name in lower case: a file system may not tell case apart.
std::string FoldedName(const std::string& spriteName);

// The folded name without trailing digits: the key shared by a name and
// that name with digits added ("tank" and "tank1").
std::string OutputNameKey(const std::string& spriteName);

// The group of each file such that two files whose outputs could share a
// name are in one group. Frame files are named after the sprite and a
// number of at least three digits, so two names meet only when they fold
// to the same, or when one is the other with digits added and the shorter
// one has a frame numbered above 1000 ("tank" frame 1100 and "tank1" frame
// 100 are both "tank1100"). Names sharing an OutputNameKey are therefore
// grouped together when any of those files may have more than 1000 frames:
// `frameCount(file)` tells how many it may have at most, nothing when that
// is not known (asked only where the names differ in that way).
std::vector<size_t> GroupsOfSprites(
    const std::vector<std::string>& names,
    const std::function<std::optional<uint32_t>(size_t file)>& frameCount);

// Numbers the distinct keys in order of first appearance: the group of
// each file.
std::vector<size_t> GroupsOfKeys(const std::vector<std::string>& keys);

// Calls convert(i) for every file i on up to `workers` threads, the files of
// one group one after another in argument order on one worker; emit(i) runs
// on the calling thread for each file in argument order, once it and every
// file before it are converted. With one worker (or no threads to be had)
// it is convert(0), emit(0), convert(1), emit(1) ... on the calling thread.
void RunFileJobs(const std::vector<size_t>& groupOfFile, unsigned workers,
                 const std::function<void(size_t file)>& convert,
                 const std::function<void(size_t file)>& emit);
