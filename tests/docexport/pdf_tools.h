// Runs the outside readers (qpdf, poppler, fontTools) on files that the tests write.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw::test {

struct ToolResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

inline ToolResult runTool(const std::string& command) {
    ToolResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) r.output.append(buf.data(), n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline bool toolAvailable(const std::string& name) {
    return runTool("command -v " + name + " >/dev/null").status == 0;
}

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
