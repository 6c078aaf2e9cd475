#include "core/firmware/sha256.h"
#include "core/tw.h"
#include "support/run_tool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace tw {

namespace {

std::string hexOf(const std::string& text) {
    char hex[65];
    tw_sha256_hex(reinterpret_cast<const uint8_t*>(text.data()), text.size(), hex);
    return hex;
}

TEST(Sha256, PublishedTestVectors) {
    EXPECT_EQ(hexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hexOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                    "mnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(hexOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    char hex[65];
    tw_sha256_hex(nullptr, 0, hex);
    EXPECT_STREQ(hex, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(Sha256, OneBlockWindowPathAgreesWithTheGeneralOne) {
    std::mt19937 random(7);
    for (int n = 0; n < 200; ++n) {
        uint8_t window[16];
        for (auto& b : window) b = uint8_t(random());
        uint8_t general[32], single[32];
        tw::sha256(window, 16, general);
        tw::sha256Window16(window, single);
        ASSERT_EQ(0, std::memcmp(general, single, 32));
    }
}

// Every length around the block and padding boundaries, and some large ones,
// checked against the system's sha256sum in one call.
TEST(Sha256, AgreesWithSha256sumOnRandomBuffers) {
    if (!test::toolAvailable("sha256sum")) GTEST_SKIP() << "sha256sum not installed";
    const auto dir = std::filesystem::temp_directory_path() / ("tw_sha256_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 200; ++n) lengths.push_back(n);
    for (size_t n : {255, 256, 257, 511, 512, 1000, 4095, 4096, 4097, 65536 + 7, 245760, 1000003})
        lengths.push_back(n);

    std::mt19937 random(12345);
    std::map<std::string, std::string> expected; // file name -> our digest
    std::vector<std::string> command{"sha256sum"};
    for (size_t n : lengths) {
        std::vector<uint8_t> bytes(n);
        for (auto& b : bytes) b = uint8_t(random());
        const std::string name = "b" + std::to_string(n);
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(n));
        char hex[65];
        tw_sha256_hex(bytes.data(), n, hex);
        expected[name] = hex;
        command.push_back(name);
    }

    // Run in the folder: the output names the files as given, whatever the folder's path holds.
    const test::ToolResult r = test::runTool(command, dir.string());
    EXPECT_EQ(r.status, 0) << r.output;
    std::istringstream lines(r.output);
    std::string line;
    size_t checked = 0;
    while (std::getline(lines, line)) {
        char digest[65] = {}, name[256] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%64s %255s", digest, name), 2) << line;
        const char* file = name[0] == '*' ? name + 1 : name;
        ASSERT_TRUE(expected.count(file)) << file;
        EXPECT_EQ(expected[file], digest) << file;
        ++checked;
    }
    EXPECT_EQ(checked, lengths.size());
    std::filesystem::remove_all(dir);
}

} // namespace

} // namespace tw
