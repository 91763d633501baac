#pragma once
// qmp's standard output: written through a buffer of its own, so that the
// reason a write failed is known (a full disk, a file size limit, a reader
// that went away) and the program can say so and end with a failure.

#include <array>
#include <streambuf>

namespace qmp::cli {

class FdOutputBuffer final : public std::streambuf {
public:
    explicit FdOutputBuffer(int fd);
    ~FdOutputBuffer() override;
    FdOutputBuffer(const FdOutputBuffer&) = delete;
    FdOutputBuffer& operator=(const FdOutputBuffer&) = delete;

    // The system's error number of the first write that failed; 0 when none did.
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    // Writes what the buffer holds; false once any write failed (what comes
    // after a failure is dropped).
    bool Drain();

    int fd_;
    int error_ = 0;
    std::array<char, 1 << 16> buffer_{};
};

}  // namespace qmp::cli
