// The settings file: an INI file held wholly in memory. Sections and keys keep
// the order in which they were read or first written, and the whole file is
// written back on UpdateFile(). Section and key names match without regard to
// the case of A-Z.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace app {

class TMemIni {
public:
    // Reads the file (UTF-8, or UTF-16 with a byte-order mark); a missing or
    // unreadable file gives an empty set.
    explicit TMemIni(std::string fileName);

    const std::string& FileName() const { return fileName_; }
    // Empty when the file was read completely or does not exist; otherwise
    // why it was not read ("it is not text"). Such a file is never written
    // over: it may hold settings this program cannot see.
    const std::string& ReadProblem() const { return readProblem_; }

    // A stored value of two or more characters that begins and ends with the
    // same quote character (" or ') is returned without that pair.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Decimal (or $/0x hexadecimal) 32-bit integers; anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    // True for any non-zero integer.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // Stores the text in double quotes when it has outer blanks or outer quotes,
    // so that ReadString gives it back unchanged. A text holding a line break
    // or a NUL cannot be stored and is written as an empty value.
    void WriteString(const std::string& section, const std::string& key, const std::string& text);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // The file's text as UpdateFile() writes it.
    std::string Text() const;
    // Writes the whole file atomically and flushes it to the disk; false when
    // it cannot be written, or was not read (ReadProblem). When the file
    // itself refuses (read-only), `refusal` says so.
    bool UpdateFile(std::string* refusal = nullptr) const;

    // Parses an integer the way the integer reads do.
    static bool ParseInteger(const std::string& text, int& value);

private:
    // Names are looked up through their A-Z lower-cased form, so that reading
    // a file of many keys takes time in proportion to its length.
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
        std::unordered_map<std::string, size_t> valueIndex;
    };
    const std::string* Find(const std::string& section, const std::string& key) const;
    Section& SectionNamed(const std::string& name);
    void Parse(const std::string& text);

    std::string fileName_;
    std::string readProblem_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;
};

}  // namespace app
