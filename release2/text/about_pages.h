// figlate's credit pages of the about box: page n is group 5 item 2n followed by item
// 2n + 1; the splash window parses the text with its placeholders.
#pragma once
#include <cstdint>

// The text of page 0 to 3, kept for the process; null for another page.
const char* AboutPageText(int32_t page);
