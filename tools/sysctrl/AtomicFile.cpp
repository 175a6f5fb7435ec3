#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace sysctrl {
namespace {

std::runtime_error SystemError(const std::string& what, int error) {
    return std::runtime_error(what + ": " + std::strerror(error));
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temp = path + ".tmp.XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw SystemError("cannot create a temporary file beside " + path, errno);

    auto fail = [&](const std::string& what) {
        const int error = errno;
        close(fd);
        unlink(temp.c_str());
        return SystemError(what, error);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw fail("cannot write " + temp);
        done += std::size_t(n);
    }
    if (fchmod(fd, 0644) != 0) throw fail("cannot set the permissions of " + temp);
    if (fsync(fd) != 0) throw fail("cannot flush " + temp);
    if (close(fd) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        throw SystemError("cannot close " + temp, error);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temp.c_str());
        throw SystemError("cannot write " + path, error);
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw SystemError("cannot read " + path, errno);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno ? errno : EISDIR;
        close(fd);
        if (S_ISDIR(st.st_mode))
            throw std::runtime_error("cannot read " + path + ": it is a directory");
        throw SystemError("cannot read " + path, error);
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            close(fd);
            throw SystemError("cannot read " + path, error);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    close(fd);
    return bytes;
}

}  // namespace sysctrl
