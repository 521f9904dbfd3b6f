// File access shared by the readers and writers: whole-file reads bounded by
// the file's own size, and writes that replace their target only when complete.
// Nothing here opens anything but a regular file, and no open ever waits: a
// FIFO, device or socket named like an image or a settings file is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image/image.h"
#include "core/io/error.h"

namespace core {

// Whether `path` names an existing regular file, or folder; an empty path or
// one that cannot be examined does not.
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);

// What a path names, links followed, found without opening it.
enum class FileKind {
    Regular,
    Missing,      // nothing there, or a link that leads nowhere
    NotRegular,   // a folder, FIFO, device or socket
    Unreachable,  // it cannot be examined: name too long, no permission, link loop
};
FileKind ExamineFile(const std::string& path);
// Why `path` cannot be read as a file, naming it without its folder; empty for
// a regular file.
std::string ReadRefusal(const std::string& path);

// One entry of a folder.
struct FolderItem {
    std::string name;          // without its folder
    bool regularFile = false;  // a regular file, or a link to one
    bool folder = false;       // a folder itself, not a link to one
    bool hiddenMark = false;   // the system's hidden attribute (Windows)
    uint64_t size = 0;         // of a regular file
};
// The entries of `folder` without "." and "..", in no particular order; false,
// with the system's reason in `problem`, when it cannot be listed whole (a
// folder the user may not read is not an empty one).
bool ListFolder(const std::string& folder, std::vector<FolderItem>& items, std::string& problem);

// `path` made absolute with every link resolved; empty, with the system's
// reason in `problem`, when that cannot be done (it does not exist, a link
// loops).
std::string CanonicalPath(const std::string& path, std::string& problem);

// Opens a regular file (or a link to one) for reading, never waiting on the
// open: -1 for anything else.
int OpenRegularForReading(const std::string& path);

enum class ReadResult { Ok, CannotOpen, TooLarge, ReadError };

// Reads the whole file into `out`. Files larger than `maxBytes` are refused
// without reading them.
ReadResult ReadWholeFile(const std::string& path, ByteBuffer& out, uint64_t maxBytes);
// Reads at most the first `maxBytes` bytes of the file: for formats whose size is
// known from their header, so that trailing data never costs memory.
ReadResult ReadFilePrefix(const std::string& path, ByteBuffer& out, uint64_t maxBytes);

// A text file read whole: a UTF-8 byte-order mark is dropped, UTF-16 with a
// byte-order mark becomes UTF-8, and anything holding a NUL byte is not text.
enum class TextRead { Ok, Missing, NotRegular, Unreadable, TooLarge, NotText };
TextRead ReadTextFile(const std::string& path, std::string& text, uint64_t maxBytes);
// Why a text file was not read, for a message ("it is larger than 16 MB").
std::string TextReadProblem(TextRead result, uint64_t maxBytes);

// Writes to a temporary file in the target's folder (unnamed where the system
// allows) and gives it the target's name on Commit(). Until then the target is
// untouched; a writer destroyed without Commit() removes its temporary file.
// A target whose owner may not write it (the read-only mark), or that is not a
// regular file, is never replaced, whoever runs the program. A symbolic link
// as target is itself replaced by the new file, whatever it leads to (which
// stays untouched). A named temporary is ".skeinpress-XXXXXX" in the target's
// folder; the first write into a folder removes such files there that are more
// than an hour old.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file. False when the target refuses to be
    // replaced or the folder is not writable.
    bool Open(const std::string& target);
    // Writes all bytes; false on any short write (the writer then stays failed).
    bool Write(const void* data, size_t size);
    // Closes and renames over the target. False if any step failed.
    bool Commit();
    // Removes the temporary file without touching the target.
    void Abandon();
    // Why the target itself refused, naming it without its folder ("\"a.tga\"
    // is read-only"); empty when it did not.
    const std::string& Refusal() const { return refusal_; }

private:
    bool LinkUnnamed();
    bool TargetRefuses();

    std::string target_;
    std::string temp_;  // the named temporary file, when the file is not unnamed
    std::string refusal_;
    int fd_ = -1;
    bool failed_ = false;
    bool unnamed_ = false;
};

// Writes `size` bytes as the whole new content of `target`, atomically. When
// the target refuses, `refusal` (if given) says why.
bool WriteFileAtomically(const std::string& target, const void* data, size_t size,
                         std::string* refusal = nullptr);

// The message for a failed write: the writer's refusal when the target refused,
// otherwise the message of `error` about `path`.
Failure WriteFailure(const std::string& refusal, Error error, const std::string& path);

// While one exists on a thread, every file that thread's writers commit is
// flushed to the disk before it takes its name, and its folder after: for the
// settings file and the user's own saves, which nothing else could restore
// after a power cut. Derived files (a trawl's TGAs) are not flushed: their
// sources are still there.
class DurableWrites {
public:
    DurableWrites();
    ~DurableWrites();
    DurableWrites(const DurableWrites&) = delete;
    DurableWrites& operator=(const DurableWrites&) = delete;
};

// Called with the path of every file and folder flushed (for tests); empty
// switches it off.
void SetFlushObserver(std::function<void(const std::string& path)> observer);

// A text file opened for appending (created when missing). Refuses, like the
// writer, a target that is not a regular file or is read-only.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // False when it cannot be opened; `refusal` then names the file and says
    // why when the file itself refused.
    bool Open(const std::string& path, std::string& refusal);
    bool IsOpen() const { return fd_ >= 0; }
    // False once any write has failed.
    bool Good() const { return fd_ >= 0 && !failed_; }
    bool Append(std::string_view text);
    void Close();

private:
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace core
