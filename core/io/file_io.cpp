#include "core/io/file_io.h"

#include <cstring>
#include <map>
#include <mutex>
#include <random>

#include "core/io/file_io_detail.h"
#include "core/io/paths.h"

namespace core {

namespace file_io_detail {

namespace {

thread_local int durableDepth = 0;

std::mutex flushObserverMutex;
std::function<void(const std::string&)> flushObserver;

}  // namespace

std::string Quoted(const std::string& path) {
    const std::string_view name = FileNamePart(path);
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted.append(1, '"').append(name).append(1, '"');
    return quoted;
}

std::string FolderOf(const std::string& target) {
    std::string folder(FolderPart(target));
    // The separator goes, unless it is all there is of a root ("/", "C:\").
    if (folder.size() > 1 && folder.back() != ':' && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder.empty() ? std::string(".") : folder;
}

bool IsTemporaryName(const std::string& name) {
    const size_t length = name.size();
    if (length < kTempMarkLength + kTempSuffixLength) return false;
    const char* suffix = name.data() + length - kTempSuffixLength;
    if (std::memcmp(suffix - kTempMarkLength, kTempMark, kTempMarkLength) != 0) return false;
    for (size_t i = 0; i < kTempSuffixLength; ++i) {
        const char c = suffix[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

std::string RandomSuffix() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(kTempSuffixLength, 'x');
    uint64_t bits = generator();
    for (char& c : suffix) {
        c = kLetters[bits % (sizeof kLetters - 1)];
        bits /= sizeof kLetters - 1;
    }
    return suffix;
}

std::string TempNameBeside(const std::string& target, const std::string& suffix) {
    return std::string(FolderPart(target)).append(kTempMark).append(suffix);
}

bool FolderDueForSweep(const std::string& folder, std::time_t now) {
    static std::mutex mutex;
    static std::map<std::string, std::time_t> lastLook;
    std::lock_guard<std::mutex> lock(mutex);
    auto [it, fresh] = lastLook.emplace(folder, now);
    if (fresh) return true;
    if (now - it->second < kStaleTempSeconds) return false;
    it->second = now;
    return true;
}

bool DurableWritesActive() {
    return durableDepth > 0;
}

void NoteFlush(const std::string& path) {
    std::lock_guard<std::mutex> lock(flushObserverMutex);
    if (flushObserver) flushObserver(path);
}

}  // namespace file_io_detail

using namespace file_io_detail;

ReadResult ReadWholeFile(const std::string& path, ByteBuffer& out, uint64_t maxBytes) {
    return ReadFileBytes(path, out, maxBytes, true);
}

ReadResult ReadFilePrefix(const std::string& path, ByteBuffer& out, uint64_t maxBytes) {
    return ReadFileBytes(path, out, maxBytes, false);
}

namespace {

void AppendUtf8(std::string& text, uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 after its byte-order mark, as UTF-8; false for an odd length, a lone
// surrogate or a NUL.
bool DecodeUtf16(const uint8_t* bytes, size_t size, bool bigEndian, std::string& text) {
    if (size % 2 != 0) return false;
    auto unit = [&](size_t i) -> uint32_t {
        return bigEndian ? (bytes[i] << 8) | bytes[i + 1] : bytes[i] | (bytes[i + 1] << 8);
    };
    text.clear();
    text.reserve(size);
    for (size_t i = 0; i < size; i += 2) {
        uint32_t code = unit(i);
        if (code >= 0xDC00 && code <= 0xDFFF) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 2 >= size) return false;
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (code == 0) return false;
        AppendUtf8(text, code);
    }
    return true;
}

}  // namespace

TextRead ReadTextFile(const std::string& path, std::string& text, uint64_t maxBytes) {
    text.clear();
    switch (ExamineFile(path)) {
        case FileKind::Regular:
            break;
        case FileKind::Missing:
            return TextRead::Missing;
        case FileKind::NotRegular:
            return TextRead::NotRegular;
        case FileKind::Unreachable:
            return TextRead::Unreadable;
    }
    ByteBuffer bytes;
    switch (ReadWholeFile(path, bytes, maxBytes)) {
        case ReadResult::Ok:
            break;
        case ReadResult::TooLarge:
            return TextRead::TooLarge;
        case ReadResult::CannotOpen:
        case ReadResult::ReadError:
            return TextRead::Unreadable;
    }
    const uint8_t* data = bytes.data();
    const size_t size = bytes.size();
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
        return DecodeUtf16(data + 2, size - 2, data[0] == 0xFE, text) ? TextRead::Ok
                                                                      : TextRead::NotText;
    const size_t skip = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    text.assign(reinterpret_cast<const char*>(data) + skip, size - skip);
    if (text.find('\0') != std::string::npos) {
        text.clear();
        return TextRead::NotText;
    }
    return TextRead::Ok;
}

std::string TextReadProblem(TextRead result, uint64_t maxBytes) {
    switch (result) {
        case TextRead::Ok:
            return std::string();
        case TextRead::Missing:
            return "it does not exist";
        case TextRead::NotRegular:
            return "it is not a regular file";
        case TextRead::Unreadable:
            return "it cannot be read";
        case TextRead::TooLarge:
            return "it is larger than " + std::to_string(maxBytes >> 20) + " MB";
        case TextRead::NotText:
            return "it is not text";
    }
    return std::string();
}

// ---- Writing -----------------------------------------------------------------

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

bool WriteFileAtomically(const std::string& target, const void* data, size_t size,
                         std::string* refusal) {
    AtomicFileWriter writer;
    const bool ok = writer.Open(target) && writer.Write(data, size) && writer.Commit();
    if (refusal) *refusal = writer.Refusal();
    return ok;
}

Failure WriteFailure(const std::string& refusal, Error error, const std::string& path) {
    return refusal.empty() ? Failure(error, path) : Failure::Refusal(refusal);
}

DurableWrites::DurableWrites() {
    ++file_io_detail::durableDepth;
}

DurableWrites::~DurableWrites() {
    --file_io_detail::durableDepth;
}

void SetFlushObserver(std::function<void(const std::string& path)> observer) {
    std::lock_guard<std::mutex> lock(file_io_detail::flushObserverMutex);
    file_io_detail::flushObserver = std::move(observer);
}

}  // namespace core
