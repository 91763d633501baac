#pragma once
// File operations that fail on request, for tests of what a failed write,
// rename or flush leaves on disk.

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "system/file_ops.h"

namespace qmp::test {

// Each failure it makes leaves `failure` as the system's error number.
class FaultyFileOps : public FileOps {
public:
    int failure = EIO;
    // Creating any file fails.
    bool failCreate = false;
    // Making hard links fails (as on a file system without them).
    bool failLinks = false;
    // Writes fail once this many bytes went to files in all (-1: never).
    long long failWritesAfter = -1;
    // Flushing a new file fails.
    bool failCommit = false;
    // Rename calls (counting from 1) that fail.
    std::vector<int> failRenames;
    // From this operation on (counting Create, Write, Commit, Rename, Link,
    // Remove and SyncFolder from 1) nothing happens any more, as if the
    // process had been killed there (0: never).
    int dieAtOperation = 0;

    int operations = 0;
    int renames = 0;
    long long bytesWritten = 0;

    std::unique_ptr<NewFile> Create(const std::string& path) override {
        if (Dead() || failCreate) return Fail<std::unique_ptr<NewFile>>(nullptr);
        std::unique_ptr<NewFile> real = FileOps::Create(path);
        if (!real) return nullptr;
        return std::make_unique<File>(*this, std::move(real));
    }
    bool Rename(const std::string& from, const std::string& to) override {
        if (Dead()) return Fail(false);
        ++renames;
        for (int n : failRenames)
            if (n == renames) return Fail(false);
        return FileOps::Rename(from, to);
    }
    bool Link(const std::string& from, const std::string& to) override {
        if (Dead() || failLinks) return Fail(false);
        return FileOps::Link(from, to);
    }
    bool Remove(const std::string& path) override {
        return Dead() ? Fail(false) : FileOps::Remove(path);
    }
    void SyncFolder(const std::string& folder) override {
        if (!Dead()) FileOps::SyncFolder(folder);
    }

private:
    template <typename T>
    T Fail(T result) {
        errno = failure;
        return result;
    }

    bool Dead() {
        ++operations;
        return dieAtOperation > 0 && operations >= dieAtOperation;
    }

    class File final : public NewFile {
    public:
        File(FaultyFileOps& ops, std::unique_ptr<NewFile> real)
            : ops_(ops), real_(std::move(real)) {}
        bool Write(std::string_view bytes) override {
            if (ops_.Dead()) return Failed();
            if (ops_.failWritesAfter >= 0) {
                const long long room = ops_.failWritesAfter - ops_.bytesWritten;
                if (room < static_cast<long long>(bytes.size())) {
                    // Part of the bytes go, as on a disk that fills up midway.
                    if (room > 0) real_->Write(bytes.substr(0, static_cast<std::size_t>(room)));
                    ops_.bytesWritten += room > 0 ? room : 0;
                    return Failed();
                }
            }
            ops_.bytesWritten += static_cast<long long>(bytes.size());
            return real_->Write(bytes);
        }
        bool SetModeAndOwner(unsigned mode, unsigned owner, unsigned group) override {
            return real_->SetModeAndOwner(mode, owner, group);
        }
        bool Commit() override {
            if (ops_.Dead() || ops_.failCommit) return Failed();
            return real_->Commit();
        }
        int Error() const override { return error_ != 0 ? error_ : real_->Error(); }

    private:
        bool Failed() {
            error_ = ops_.failure;
            return false;
        }

        FaultyFileOps& ops_;
        std::unique_ptr<NewFile> real_;
        int error_ = 0;
    };
};

}  // namespace qmp::test
