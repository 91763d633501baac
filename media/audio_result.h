#pragma once
// Result codes of the byte sources and the audio readers: one list for the
// whole audio unit, 0 meaning success.

#include <cstdint>

namespace qmp {

enum class AudioResult : std::int32_t {
    Ok = 0,
    SystemError = -1,   // any other system error while opening or reading a file
    FileNotFound = 2,   // the file is missing from an existing folder
    FileInUse = 3,      // another program holds the file
    AccessDenied = 4,   // no permission to read the file
    PathNotFound = 5,   // the file's folder does not exist
    NoValidStream = 6,  // not an MP3 or Ogg Vorbis stream the readers accept
    NoBlock = 11,       // a read with no block loaded or no destination
    NoMemory = 20,      // no memory for a new block
    BadLocation = 21,   // the location is not a local file the source can open
};

// The code as the signed number the unit's callers see.
constexpr std::int32_t AudioResultCode(AudioResult result) {
    return static_cast<std::int32_t>(result);
}

}  // namespace qmp
