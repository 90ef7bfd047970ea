#pragma once

#include <fstream>
#include <string>

namespace TessaroTools {

// An output file that appears only when everything was written: the text
// goes to a temporary file in the same directory, and commit() renames it over
// the target. Destroyed without commit(), it removes the temporary file and
// leaves the target as it was.
class AtomicOutputFile {
public:
    // Creates the temporary file; throws std::runtime_error naming the target
    // when that is impossible.
    explicit AtomicOutputFile(std::string targetPath);
    ~AtomicOutputFile();

    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    std::ostream& stream() { return m_stream; }
    const std::string& temporaryPath() const { return m_temporaryPath; }

    // Closes the temporary file and renames it to the target. Throws
    // std::runtime_error (and removes the temporary file) if any write failed.
    void commit();

private:
    void fail(const std::string& what, int error);

    std::string m_targetPath;
    std::string m_temporaryPath;
    std::ofstream m_stream;
    bool m_finished = false;
};

} // namespace TessaroTools
