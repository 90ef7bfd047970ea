#include "AtomicOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace TessaroTools {

namespace {

namespace fs = std::filesystem;

// The path with every symbolic link along its last component followed, so
// that the rename replaces the file a link leads to, not the link. A dangling
// link resolves to the file it names.
std::string followLinks(const std::string& path) {
    fs::path current(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(current, error)); ++hops) {
        const fs::path target = fs::read_symlink(current, error);
        if (error) {
            break;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool isSpecialFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

// mkstemp creates the file readable by its owner only; a finished output file
// gets the permissions any newly created file would get under the umask.
void applyUmaskPermissions(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const std::string& targetPath)
    : m_shownPath(targetPath), m_targetPath(targetPath) {
    // stat follows links: /dev/stdout leads through /proc to a pipe or a
    // terminal, which only the original path reaches.
    if (isSpecialFile(targetPath)) {
        openDirect();
    } else {
        m_targetPath = followLinks(targetPath);
        openTemporary();
    }
}

AtomicOutputFile::~AtomicOutputFile() {
    if (!m_finished && !m_temporaryPath.empty()) {
        m_stream.close();
        std::remove(m_temporaryPath.c_str());
    }
}

void AtomicOutputFile::openTemporary() {
    const std::string pattern = m_targetPath + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        fail(errno);
    }
    applyUmaskPermissions(fd);
    close(fd);
    m_temporaryPath = name.data();
    m_stream.open(m_temporaryPath, std::ios::binary | std::ios::trunc);
    if (!m_stream) {
        fail(errno);
    }
}

void AtomicOutputFile::openDirect() {
    m_stream.open(m_targetPath, std::ios::binary);
    if (!m_stream) {
        fail(errno);
    }
}

void AtomicOutputFile::commit() {
    m_stream.flush();
    const bool written = static_cast<bool>(m_stream);
    const int writeError = errno;
    m_stream.close();
    if (!written || !m_stream) {
        fail(writeError != 0 ? writeError : EIO);
    }
    if (!m_temporaryPath.empty() &&
        std::rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0) {
        fail(errno);
    }
    m_finished = true;
}

void AtomicOutputFile::fail(int error) {
    if (!m_temporaryPath.empty()) {
        std::remove(m_temporaryPath.c_str());
    }
    m_finished = true;
    throw std::runtime_error("cannot write " + m_shownPath + ": " + std::strerror(error));
}

} // namespace TessaroTools
