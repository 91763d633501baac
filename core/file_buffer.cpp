#include "core/file_buffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

#include "decoding/ansi_code_page.h"
#include "system/file_ops.h"

namespace qmp {

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : data_(std::move(other.data_)),
      size_(std::exchange(other.size_, 0)),
      position_(std::exchange(other.position_, 0)),
      fileSize_(std::exchange(other.fileSize_, -1)),
      open_(std::exchange(other.open_, false)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
    if (this != &other) {
        data_ = std::move(other.data_);
        size_ = std::exchange(other.size_, 0);
        position_ = std::exchange(other.position_, 0);
        fileSize_ = std::exchange(other.fileSize_, -1);
        open_ = std::exchange(other.open_, false);
    }
    return *this;
}

FileBuffer OpenFileBuffer(std::string_view path, int* error) {
    FileBuffer buffer;
    std::size_t size = 0;
    if (!ReadWholeFile(std::string(path), buffer.data_, size, error)) return buffer;
    buffer.size_ = static_cast<std::int64_t>(size);
    buffer.open_ = true;
    return buffer;
}

FileBuffer OpenFileBufferStart(std::string_view path, std::int64_t limit) {
    FileBuffer buffer;
    std::size_t size = 0;
    std::uint64_t fileSize = 0;
    const auto cap = static_cast<std::size_t>(std::max<std::int64_t>(limit, 0));
    if (!ReadFileStart(std::string(path), cap, buffer.data_, size, fileSize)) return buffer;
    buffer.size_ = static_cast<std::int64_t>(size);
    buffer.fileSize_ = static_cast<std::int64_t>(
        std::min<std::uint64_t>(fileSize, std::numeric_limits<std::int64_t>::max()));
    buffer.open_ = true;
    return buffer;
}

FileBuffer FileBufferFromBytes(std::string_view bytes) {
    FileBuffer buffer;
    buffer.open_ = true;
    buffer.size_ = static_cast<std::int64_t>(bytes.size());
    if (!bytes.empty()) {
        buffer.data_ = std::make_unique_for_overwrite<char[]>(bytes.size());
        std::memcpy(buffer.data_.get(), bytes.data(), bytes.size());
    }
    return buffer;
}

void CloseFileBuffer(FileBuffer& buffer) {
    buffer = FileBuffer();
}

std::int64_t SeekBuffer(FileBuffer& buffer, std::int64_t offset, SeekOrigin origin) {
    switch (origin) {
        case SeekOrigin::kBegin:
            buffer.position_ = offset;
            break;
        case SeekOrigin::kCurrent:
            buffer.position_ += offset;
            break;
        case SeekOrigin::kEnd:
            buffer.position_ = buffer.size_ + offset;
            break;
    }
    return buffer.position_;
}

ByteRead ReadBytes(FileBuffer& buffer, std::int64_t n) {
    const std::int64_t size = buffer.Size();
    const std::int64_t position = buffer.Position();
    if (size == 0 || n <= 0 || position < 0) return {};
    if (n == 1 && position >= size) return {};
    const std::int64_t from = std::min(position, size);
    const std::int64_t count = std::min(n, size - from);
    const std::string_view bytes =
        buffer.Data().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
    SeekBuffer(buffer, count, SeekOrigin::kCurrent);
    return {true, bytes};
}

namespace {

// Upper-casing by the system's ANSI rules is byte by byte, so a table of 256
// bytes serves every search; it is rebuilt when the system code page changes.
const std::array<unsigned char, 256>& UpperCaseTable() {
    thread_local std::array<unsigned char, 256> table{};
    thread_local CharsetId builtFor = kCharsetUnknown;
    if (builtFor != SystemCodePage()) {
        for (int b = 0; b < 256; ++b)
            table[b] = AnsiUpperChar(static_cast<unsigned char>(b));
        builtFor = SystemCodePage();
    }
    return table;
}

}  // namespace

bool FindText(FileBuffer& buffer, std::string_view literal, std::int64_t& position) {
    const std::string_view data = buffer.Data();
    const std::size_t length = literal.size();
    if (length == 0) return false;
    const std::size_t start = position < 0 ? 0 : static_cast<std::size_t>(position);
    if (start >= data.size() || data.size() - start < length) return false;

    const std::array<unsigned char, 256>& upper = UpperCaseTable();
    std::string wanted(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        wanted[i] = static_cast<char>(upper[static_cast<unsigned char>(literal[i])]);

    // Candidates are found with memchr by one byte of the literal that a
    // single byte upper-cases to (a quote, a digit, most punctuation),
    // preferably one that markup holds less often than quotes and spaces.
    std::array<int, 256> preimages{};
    std::array<unsigned char, 256> preimage{};  // the last byte that upper-cases to each
    for (int b = 0; b < 256; ++b) {
        const unsigned char image = upper[static_cast<unsigned char>(b)];
        ++preimages[image];
        preimage[image] = static_cast<unsigned char>(b);
    }
    std::size_t anchor = length;
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(wanted[i]);
        if (preimages[byte] != 1) continue;
        if (anchor == length) anchor = i;
        if (std::string_view("\" <>=/").find(static_cast<char>(byte)) == std::string_view::npos) {
            anchor = i;
            break;
        }
    }
    const std::size_t last = data.size() - length;
    const auto matchesAt = [&](std::size_t offset) {
        for (std::size_t i = 0; i < length; ++i) {
            if (upper[static_cast<unsigned char>(data[offset + i])] !=
                static_cast<unsigned char>(wanted[i]))
                return false;
        }
        return true;
    };
    const auto found = [&](std::size_t offset) {
        position = static_cast<std::int64_t>(offset + length);
        SeekBuffer(buffer, position, SeekOrigin::kBegin);
        return true;
    };
    if (anchor == length) {
        for (std::size_t offset = start; offset <= last; ++offset)
            if (matchesAt(offset)) return found(offset);
        return false;
    }
    const unsigned char anchorByte = preimage[static_cast<unsigned char>(wanted[anchor])];
    for (std::size_t offset = start; offset <= last;) {
        const void* hit = std::memchr(data.data() + offset + anchor, anchorByte, last + 1 - offset);
        if (hit == nullptr) return false;
        const std::size_t candidate =
            static_cast<std::size_t>(static_cast<const char*>(hit) - data.data()) - anchor;
        if (matchesAt(candidate)) return found(candidate);
        offset = candidate + 1;
    }
    return false;
}

namespace {

std::string ReadQuotedText(FileBuffer& buffer, char quote, bool escapes, bool& closed) {
    closed = false;
    const std::string_view data = buffer.Data();
    const std::int64_t size = buffer.Size();
    std::int64_t at = std::max<std::int64_t>(buffer.Position(), 0);
    if (at >= size) return {};
    const void* open = std::memchr(data.data() + at, quote, static_cast<std::size_t>(size - at));
    if (open == nullptr) {
        SeekBuffer(buffer, size, SeekOrigin::kBegin);
        return {};
    }
    at = static_cast<const char*>(open) - data.data() + 1;

    std::string text;
    auto take = [&text](char byte) {
        if (byte == '\r')
            text.push_back(' ');
        else if (byte != '\n')
            text.push_back(byte);
    };
    while (at < size) {
        const char byte = data[static_cast<std::size_t>(at++)];
        if (byte == quote) {
            closed = true;
            break;
        }
        if (escapes && byte == '\\') {
            if (at >= size) break;
            const char next = data[static_cast<std::size_t>(at++)];
            if (next == quote)
                text.push_back(quote);
            else
                take(next);
            continue;
        }
        take(byte);
    }
    SeekBuffer(buffer, at, SeekOrigin::kBegin);
    return text;
}

}  // namespace

std::string ReadQuoted(FileBuffer& buffer, char quote) {
    bool closed = false;
    return ReadQuotedText(buffer, quote, quote == '\'', closed);
}

std::string ReadScriptString(FileBuffer& buffer, char quote, bool& closed) {
    return ReadQuotedText(buffer, quote, true, closed);
}

}  // namespace qmp
