#pragma once
// The sample element files of the orbit and pass tests and benchmarks, read
// by a std::string path without Qt. The program itself reads every
// catalogue through core/ElementFile.h.
#include "orbit/Tle.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace aostrack {

// Two-line or OMM CSV text at path. Throws TleFileError when it cannot be
// opened or read.
inline TleLoad LoadTleFile(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw TleFileError(path, 0, "is a folder, not an element file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw TleFileError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    return ReadTle(in, path);
}

} // namespace aostrack
