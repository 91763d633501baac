#include "cli/output_stream.h"

#include <unistd.h>

#include <cerrno>

namespace qmp::cli {

FdOutputBuffer::FdOutputBuffer(int fd) : fd_(fd) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdOutputBuffer::~FdOutputBuffer() {
    Drain();
}

bool FdOutputBuffer::Drain() {
    const char* at = pbase();
    const char* end = pptr();
    while (error_ == 0 && at < end) {
        const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(end - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            break;
        }
        at += n;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int FdOutputBuffer::sync() {
    return Drain() ? 0 : -1;
}

}  // namespace qmp::cli
