#pragma once
// How the peers write a finished file: the bytes into a temporary file beside the target, then
// renamed over it, so that, like the program's own files, a reader never sees half of one.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace benchpairs {

// False when any step fails; the temporary file is then removed.
inline bool writeBytesAtomically(const std::string& path, const std::vector<unsigned char>& bytes)
{
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace benchpairs
