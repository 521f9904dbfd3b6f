// The conformance corpus kept in tests/corpus: its manifest rows and the checks
// every reader must pass against them.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct CorpusRow {
    std::string path;       // relative to the corpus folder
    std::string expect;     // load, refuse or any
    std::string reference;  // PNG, or "-"
    std::string tolerance;
    std::string note;
};
inline void PrintTo(const CorpusRow& row, std::ostream* os) {
    *os << row.path;
}

// The bytes of a file below tests/data.
std::vector<uint8_t> DataBytes(const std::string& relative);
// The manifest's rows (none when it is missing, which the conformance test
// reports as a failure).
std::vector<CorpusRow> ReadManifest();

// Loads the row's file and checks the outcome the manifest names, and that a
// picture read comes back exactly from the PNG written of it; failures are
// reported through gtest. `scratch` is a writable folder for the files written.
void CheckCorpusRow(const CorpusRow& row, const std::string& scratch);

}  // namespace testing_support
