#include "media/byte_source.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <new>

#include "system/os_path.h"

namespace qmp {

TExtractMachine::~TExtractMachine() {
    if (sourceHandle_ >= 0) {
        ::close(sourceHandle_);
        sourceHandle_ = -1;
    }
}

void TExtractMachine::CloseSource() {
    if (sourceHandle_ >= 0) {
        ::close(sourceHandle_);
        sourceHandle_ = -1;
    }
}

AudioResult TExtractMachine::OpenLocalFile(std::string_view location) {
    CloseSource();
    const std::string osPath = ToOsPath(location);
    // Non-blocking so that a named pipe given as a document cannot hang the
    // indexer; regular-file reads are unaffected.
    const int handle = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) return ErrorFromLastError(errno, osPath);
    sourceHandle_ = handle;

    struct stat info {};
    if (::fstat(handle, &info) != 0) return ErrorFromLastError(errno, osPath);
    // Only regular files hold a stream; files of 4 GiB and more lie outside the
    // 32-bit offsets of a source, and reading them would give wrong results.
    if (!S_ISREG(info.st_mode)) return AudioResult::SystemError;
    if (info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > std::numeric_limits<std::uint32_t>::max()) {
        return AudioResult::SystemError;
    }
    const AudioResult loaded = LoadBlock(0, kFirstBlockSize);
    SetFileSize(static_cast<std::uint32_t>(info.st_size));
    return loaded;
}

AudioResult TExtractMachine::LoadBlock(std::uint32_t offset, std::uint32_t size) {
    std::unique_ptr<std::uint8_t[]> storage;
    try {
        storage = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        return AudioResult::NoMemory;
    }
    if (sourceHandle_ < 0) return ErrorFromLastError(EBADF);

    std::uint32_t total = 0;
    while (total < size) {
        const ssize_t got = ::pread(sourceHandle_, storage.get() + total, size - total,
                                    static_cast<off_t>(static_cast<std::uint64_t>(offset) + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            return ErrorFromLastError(errno);
        }
        if (got == 0) break;  // the end of the file: a short block is no error
        total += static_cast<std::uint32_t>(got);
    }
    const std::span<const std::uint8_t> bytes(storage.get(), total);
    ReplaceBlock(std::move(storage), bytes, offset);
    return AudioResult::Ok;
}

void TExtractMachine::ReplaceBlock(std::unique_ptr<std::uint8_t[]> storage,
                                   std::span<const std::uint8_t> bytes, std::uint32_t origin) {
    blockData_ = std::move(storage);
    block_ = bytes;
    hasBlock_ = true;
    blockOrigin_ = origin;
    blockPosition_ = 0;
}

std::int64_t TExtractMachine::SeekInBlock(std::uint32_t position) {
    if (position > BlockCount()) return -1;
    const std::uint32_t previous = blockPosition_;
    blockPosition_ = position;
    return previous;
}

AudioResult TExtractMachine::ReadBlockBytes(std::uint8_t* destination, std::uint32_t wanted,
                                            std::uint32_t& copied) {
    copied = 0;
    if (!hasBlock_ || destination == nullptr) return AudioResult::NoBlock;
    const std::uint32_t rest = BlockCount() - blockPosition_;
    if (rest >= wanted) {
        if (wanted > 0) std::memcpy(destination, block_.data() + blockPosition_, wanted);
        copied = wanted;
        blockPosition_ += wanted;
    } else {
        if (rest > 0) std::memcpy(destination, block_.data() + blockPosition_, rest);
        copied = rest;
    }
    return AudioResult::Ok;
}

bool IsNetworkUrl(std::string_view location) {
    const std::size_t colon = location.find("://");
    if (colon == std::string_view::npos || colon == 0) return false;
    const auto isAsciiLetter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    if (!isAsciiLetter(location[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = location[i];
        const bool schemeChar =
            isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!schemeChar) return false;
    }
    std::string scheme(location.substr(0, colon));
    for (char& c : scheme) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return scheme != "file";
}

OpenedByteSource OpenByteSource(std::string_view location) {
    OpenedByteSource opened;
    // Every caller passes a local path; a network location is nothing this
    // program could read, so it is refused before anything is opened.
    if (IsNetworkUrl(location)) {
        opened.result = AudioResult::BadLocation;
        return opened;
    }
    opened.source = std::make_unique<TExtractMachine>();
    opened.result = opened.source->OpenLocalFile(location);
    return opened;
}

AudioResult ErrorFromLastError(int errorNumber, std::string_view osPath) {
    switch (errorNumber) {
        case ENOENT: {
            // A missing file in an existing folder is "file not found"; a
            // missing folder is "path not found".
            const std::size_t slash = osPath.rfind('/');
            std::string folder = slash == std::string_view::npos
                                     ? std::string(".")
                                     : std::string(osPath.substr(0, slash + 1));
            struct stat info {};
            const bool folderExists = ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            return folderExists ? AudioResult::FileNotFound : AudioResult::PathNotFound;
        }
        case ENOTDIR:
            return AudioResult::PathNotFound;
        case EACCES:
        case EPERM:
            return AudioResult::AccessDenied;
        case ETXTBSY:
            return AudioResult::FileInUse;
        default:
            return AudioResult::SystemError;
    }
}

}  // namespace qmp
