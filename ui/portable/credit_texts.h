// The about box's credit pages in the layout language, shared by the splash window and
// the later release's string resources. Placeholders: <%1> the release line, <%2> the
// build number, <%3> the release number, <%4> an empty line.
#pragma once
#include <cstdint>

constexpr int32_t kCreditTextPages = 4;

// The text of page 0 to 3, or null.
const char* CreditPageText(int32_t page);
