// Character-level text helpers of the notes and their plain-text layout.
// Texts are UTF-8; lengths count user-perceived characters (code points,
// combining marks joined to the character before them).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The code points of a text; malformed bytes count as U+FFFD each.
std::vector<char32_t> codePoints(std::string_view text);

// Characters as a reader counts them: "x̄" (x and a combining macron) is one.
std::size_t characterCount(std::string_view text);

// The text filled up on the right with spaces to `width` characters.
std::string padRight(std::string_view text, std::size_t width);

// The first `width` characters of the text.
std::string leftCharacters(std::string_view text, std::size_t width);

// Unicode white space and line breaks removed from both ends.
std::string trimWhitespace(std::string_view text);

// One line of text: every tab and line break becomes a space, malformed
// UTF-8 becomes U+FFFD.
std::string singleLine(std::string_view text);

// A multi-line text with line feeds only: CR LF, CR and form feed (a page
// break) become LF, tabs become spaces, malformed UTF-8 becomes U+FFFD.
std::string plainLines(std::string_view text);

// A decimal digit 0 to 9 (the numeric characters of listings).
bool isNumeric(char32_t c);

} // namespace tw
