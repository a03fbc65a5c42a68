#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Files converted on several workers, one file per worker at a time, with
// what each prints put out in argument order as if there were one.

// A key for each file such that two files whose outputs could share a name
// have the same key: the sprite name without trailing digits ("tank1"
// frame 100 and "tank" frame 1100 are both "tank1100"), in lower case (a
// file system may not tell case apart).
std::string OutputNameKey(const std::string& spriteName);

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
