// What the two halves of file_io (POSIX and Windows) share. Not for use
// outside core/file_io*.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "core/io/file_io.h"

namespace core::file_io_detail {

// Named temporaries are ".skeinpress-XXXXXX" (six letters or digits) beside
// their target: a name of fixed length, which fits the file system's limit
// however long the target's own name is. Older versions named them
// "TARGET.skeinpress-XXXXXX"; those are still recognised as stale.
inline constexpr const char kTempMark[] = ".skeinpress-";
inline constexpr size_t kTempMarkLength = sizeof kTempMark - 1;
inline constexpr size_t kTempSuffixLength = 6;
// Older temporaries belong to a program that was killed.
inline constexpr std::time_t kStaleTempSeconds = 60 * 60;

bool IsTemporaryName(const std::string& name);
std::string RandomSuffix();
// A fresh temporary's name in the folder of `target`, ending in `suffix`.
std::string TempNameBeside(const std::string& target, const std::string& suffix);
// Whether the folder is due a look for stale temporaries (at most once an
// hour per folder, so that a trawl writing thousands of files into one folder
// does not list it for each).
bool FolderDueForSweep(const std::string& folder, std::time_t now);

// How many bytes of a file of `size` to read under `maxBytes`: all of it, the
// first `maxBytes`, or none (false) when a larger file is refused.
inline bool BytesToRead(uint64_t& size, uint64_t maxBytes, bool refuseLarger) {
    if (size <= maxBytes) return true;
    size = maxBytes;
    return !refuseLarger;
}

// The file's name without its folder, in double quotes.
std::string Quoted(const std::string& path);
// The folder `target` is in, without a separator at its end ("." for none).
std::string FolderOf(const std::string& target);

// Whether a DurableWrites is alive on this thread, and the observer's note.
bool DurableWritesActive();
void NoteFlush(const std::string& path);

// The whole file, or its first `maxBytes` (refuseLarger false), into `out`.
ReadResult ReadFileBytes(const std::string& path, ByteBuffer& out, uint64_t maxBytes,
                         bool refuseLarger);

}  // namespace core::file_io_detail
