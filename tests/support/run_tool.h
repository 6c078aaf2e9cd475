// Running outside programs (qpdf, poppler, fontTools, cmake, sha256sum) from the tests.
//
//   auto r = tw::test::runTool({"qpdf", "--check", file});
//   EXPECT_EQ(r.status, 0) << r.output;
//
// No shell comes between: each argument reaches the program whole, whatever a folder's
// name holds (spaces, quotes, $, non-ASCII).
#pragma once

#include <string>
#include <vector>

namespace tw::test {

struct ToolResult {
    int status = -1;    // the exit code; -1 when it did not start or did not exit normally
    std::string output; // stdout and stderr together
};

// Runs `arguments[0]` (a path, or a program found on PATH) with the rest as its arguments,
// in `folder` when one is given, with no input; waits for it to end.
ToolResult runTool(const std::vector<std::string>& arguments, const std::string& folder = {});

// Whether `name` is a program that runTool can start: an executable path, or one on PATH.
bool toolAvailable(const std::string& name);

} // namespace tw::test
