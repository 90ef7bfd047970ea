#pragma once

#include <fstream>
#include <string>

namespace TessaroTools {

// An output file that appears only when everything was written: the text
// goes to a temporary file in the target's directory, and commit() renames it
// over the target. Destroyed without commit(), it removes the temporary file
// and leaves the target as it was.
//
// A symbolic link as target stays a link: the file it leads to is replaced.
// A target that exists but is no regular file or directory (a device such as
// /dev/null or /dev/stdout, a pipe) cannot be replaced by a rename without
// destroying it, so it is written directly.
class AtomicOutputFile {
public:
    // Opens the temporary file (or the device); throws std::runtime_error
    // naming the target when that is impossible.
    explicit AtomicOutputFile(const std::string& targetPath);
    ~AtomicOutputFile();

    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    std::ostream& stream() { return m_stream; }

    // Closes the file and renames it to the target. Throws
    // std::runtime_error (and removes the temporary file) if any write failed.
    void commit();

private:
    void openTemporary();
    void openDirect();
    [[noreturn]] void fail(int error);

    std::string m_shownPath;     // as the user named it, for messages
    std::string m_targetPath;    // symbolic links resolved
    std::string m_temporaryPath; // empty when writing directly
    std::ofstream m_stream;
    bool m_finished = false;
};

} // namespace TessaroTools
