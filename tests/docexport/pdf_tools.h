// Temporary files for the outside readers (qpdf, poppler, fontTools) that the tests run.
#pragma once

#include "support/run_tool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw::test {

// A file in a fresh temporary folder, removed with the object.
struct TempFile {
    std::filesystem::path dir;
    std::filesystem::path path;

    explicit TempFile(const std::string& name) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tw-docexport-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back(0);
        dir = mkdtemp(buf.data());
        path = dir / name;
    }
    template <class Bytes> void write(const Bytes& bytes) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string str() const { return path.string(); }
};

} // namespace tw::test
