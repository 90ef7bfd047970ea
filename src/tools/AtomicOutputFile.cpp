#include "AtomicOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace TessaroTools {

namespace {

// mkstemp creates the file readable by its owner only; a finished output file
// gets the permissions any newly created file would get under the umask.
void applyUmaskPermissions(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

} // namespace

AtomicOutputFile::AtomicOutputFile(std::string targetPath) : m_targetPath(std::move(targetPath)) {
    std::string pattern = m_targetPath + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        throw std::runtime_error("cannot write " + m_targetPath + ": " + std::strerror(errno));
    }
    applyUmaskPermissions(fd);
    close(fd);
    m_temporaryPath = name.data();
    m_stream.open(m_temporaryPath, std::ios::binary | std::ios::trunc);
    if (!m_stream) {
        const int error = errno;
        std::remove(m_temporaryPath.c_str());
        throw std::runtime_error("cannot write " + m_targetPath + ": " + std::strerror(error));
    }
}

AtomicOutputFile::~AtomicOutputFile() {
    if (!m_finished) {
        m_stream.close();
        std::remove(m_temporaryPath.c_str());
    }
}

void AtomicOutputFile::commit() {
    m_stream.flush();
    const bool written = static_cast<bool>(m_stream);
    const int writeError = errno;
    m_stream.close();
    if (!written || !m_stream) {
        fail("cannot write ", writeError != 0 ? writeError : EIO);
    }
    if (std::rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0) {
        fail("cannot write ", errno);
    }
    m_finished = true;
}

void AtomicOutputFile::fail(const std::string& what, int error) {
    std::remove(m_temporaryPath.c_str());
    m_finished = true; // nothing left to clean up
    throw std::runtime_error(what + m_targetPath + ": " + std::strerror(error));
}

} // namespace TessaroTools
