// A count of the times Qt lays out a long paragraph, for tests of what showing a long
// comment costs.
#pragma once

namespace tw::test {

// A paragraph laid out in this many lines or more is counted.
constexpr int kLongParagraphLines = 1000;

// How many times a paragraph has been laid out in kLongParagraphLines lines or more in
// this program so far.
int longTextLayouts();

} // namespace tw::test
