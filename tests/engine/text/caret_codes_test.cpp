#include "engine/text/caret_codes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/text/object_text_provider.h"
#include "engine/text/string_groups.h"

namespace {

// A provider of object codes for one midpoint "A" of segment "j", existing or not.
struct FakeObject {
    const char* name;      // ^A
    const char* label;     // ^a
    const char* parent;    // ^B
    const char* reason;    // ^#
};

uint32_t FakeProvider(char code, void* context, uint32_t n, char* destination) {
    const FakeObject* o = static_cast<const FakeObject*>(context);
    const char* text = "";
    switch (code) {
        case 'A': text = o->name; break;
        case 'a': text = o->label; break;
        case 'B': text = o->parent; break;
        case '#': text = o->reason; break;
        default: break;
    }
    const uint32_t len = static_cast<uint32_t>(strlen(text));
    if (destination) memcpy(destination, text, n < len ? n : len);
    return len;
}

std::string Expand(const char* templ, int32_t cut, uint32_t bufferSize, void* ctx,
                   CaretCodeProvider provider = FakeProvider) {
    std::string out(bufferSize, '\0');
    const uint32_t n = ExpandCaretCodes(templ, static_cast<uint32_t>(strlen(templ)), cut,
                                        bufferSize - 1, out.data(), provider, ctx);
    EXPECT_LT(n, bufferSize);
    out.resize(n);
    return out;
}

uint32_t Measure(const char* templ, void* ctx, CaretCodeProvider provider = FakeProvider) {
    return ExpandCaretCodes(templ, static_cast<uint32_t>(strlen(templ)), 0, 0, nullptr, provider, ctx);
}

}  // namespace

TEST(ExpandCaretCodes, DescriptionOfAnExistingAndAMissingMidpoint) {
    FakeObject exists{ "Point A", "A", "Segment j", "" };
    const char* templ = GroupText(kGroupDescriptions, 1);  // "^A is the midpoint of ^B.^#"
    EXPECT_EQ(Expand(templ, 0, 256, &exists), "Point A is the midpoint of Segment j.");

    FakeObject missing{ "Point A", "A", "Segment j", " It does not currently exist." };
    EXPECT_EQ(Expand(templ, 0, 256, &missing),
              "Point A is the midpoint of Segment j. It does not currently exist.");
}

TEST(ExpandCaretCodes, MeasuringGivesTheLengthThatWritingProduces) {
    FakeObject o{ "Point A", "A", "Segment jk", " It does not currently exist." };
    FakeObject empty{ "P", "", "", "" };
    const char* templates[] = { "^A is the midpoint of ^B.^#", "^a^a^a", "", "plain", "^Q^#x", "end^", "^A^#^#^#" };
    for (const char* t : templates) {
        SCOPED_TRACE(t);
        EXPECT_EQ(Measure(t, &o), Expand(t, 0, 512, &o).size());
        EXPECT_EQ(Measure(t, &o), Expand(t, 1, 512, &o).size());
        // A buffer of exactly the measured size holds the whole expansion, even where
        // codes expand to less than the two characters they take in the template.
        EXPECT_EQ(Expand(t, 0, Measure(t, &o) + 1, &o), Expand(t, 0, 512, &o));
        EXPECT_EQ(Expand(t, 0, Measure(t, &empty) + 1, &empty), Expand(t, 0, 512, &empty));
    }
}

TEST(ExpandCaretCodes, WholeValuesGiveWayToEllipsisAndTheLiteralGoesOn) {
    FakeObject o{ "Point Alongname", "A", "S", "" };
    // Capacity 15: "^A" (15 characters) does not fit with " end" still unread.
    EXPECT_EQ(Expand("^A end", 0, 16, &o), "... end");
    // No room even for "...": the value gives nothing.
    EXPECT_EQ(Expand("xy^A", 0, 5, &o), "xy");
}

TEST(ExpandCaretCodes, CutValuesEndInEllipsis) {
    FakeObject o{ "Point Alongname", "A", "S", "" };
    EXPECT_EQ(Expand("^A end", 1, 11, &o), "Point A...");
    // A literal that does not fit is cut the same way.
    EXPECT_EQ(Expand("A rather long literal", 0, 11, &o), "A rathe...");
    // Too small for the mark: what fits stays.
    EXPECT_EQ(Expand("abcdef", 1, 3, &o), "ab");
}

TEST(ExpandCaretCodes, ArgumentCodesAreCheckedAgainstTheArgumentCount) {
    const char* args[] = { "Point A", "Point B" };
    CaretArgs a{ args, 2 };
    EXPECT_EQ(Expand("Move ^A -> ^B^C^z", 0, 64, &a, CaretArgsProvider), "Move Point A -> Point B");
    EXPECT_EQ(Measure("^C^D", &a, CaretArgsProvider), 0u);
    const char* withNull[] = { nullptr };
    CaretArgs n{ withNull, 1 };
    EXPECT_EQ(Expand("[^A]", 0, 16, &n, CaretArgsProvider), "[]");
}

TEST(ExpandCaretCodes, StandInObjectProviderAnswersNothing) {
    ObjectTextContext ctx{ nullptr, 0 };
    EXPECT_EQ(Expand("^A is here.^#", 0, 64, &ctx, ObjectDescriptionField), " is here.");
}

namespace {

std::string Substitute(const char* text, const char* const* args, uint32_t count,
                       uint32_t size, bool rescan) {
    std::string buffer(size, '\x7f');
    memcpy(buffer.data(), text, strlen(text) + 1);
    SubstituteCaretArgs(buffer.data(), args, count, size, rescan);
    return std::string(buffer.c_str());
}

}  // namespace

TEST(SubstituteCaretArgs, SubstitutesInPlace) {
    const char* two[] = { "P", "Q" };
    struct Case { const char* text; uint32_t count; uint32_t size; const char* out; };
    const Case cases[] = {
        { "Move ^A -> ^B", 2, 64, "Move P -> Q" },
        { "^B^A^B", 2, 64, "QPQ" },
        { "no codes", 2, 64, "no codes" },
        { "keep ^# and ^1", 2, 64, "keep ^# and ^1" },     // below 'A': not an argument code
        { "^A^", 2, 64, "P^" },
        { "\x5E\xC9t\xE9", 2, 64, "\x5E\xC9t\xE9" },       // bytes of 0x80 and up are no letter
        { "Move ^A -> ^B", 1, 64, "Move P -> " },          // undeclared argument: dropped
        { "^Z^a^[", 2, 64, "" },                           // far past the list: dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Substitute(c.text, two, c.count, c.size, false), c.out);
    }
    EXPECT_EQ(Substitute("Move ^A", nullptr, 0, 64, false), "Move ");
}

TEST(SubstituteCaretArgs, ArgumentsThatDoNotFitAreDropped) {
    const char* args[] = { "a long argument", "ok" };
    // Size 16 leaves a gap of 15 - 7 = 8 bytes at the first code.
    EXPECT_EQ(Substitute("[^A] [^B]", args, 2, 16, false), "[] [ok]");
}

TEST(SubstituteCaretArgs, RescanSubstitutesCodesInsideArguments) {
    const char* args[] = { "x^By", "Q" };
    EXPECT_EQ(Substitute("<^A>", args, 2, 64, false), "<x^By>");
    EXPECT_EQ(Substitute("<^A>", args, 2, 64, true), "<xQy>");
    // An argument naming itself stops after 512 codes instead of looping.
    const char* self[] = { "^A" };
    EXPECT_EQ(Substitute("<^A>", self, 1, 64, true), "<>");
    const char* grow[] = { "a^A" };
    const std::string out = Substitute("<^A>", grow, 1, 64, true);
    EXPECT_EQ(out.front(), '<');
    EXPECT_EQ(out.back(), '>');
    EXPECT_LE(out.size(), 63u);
}

namespace {

// Straightforward substitution for buffers large enough for everything.
std::string ReferenceSubstitute(const std::string& text, const char* const* args, uint32_t count) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && static_cast<signed char>(text[i + 1]) >= 'A') {
            const int index = static_cast<signed char>(text[i + 1]) - 'A';
            if (index < static_cast<int>(count)) out += args[index];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

TEST(CaretCodes, RandomTextsStayInsideTheirBuffers) {
    const char* args[] = { "P", "", "Segment jk", "^A", "long argument text" };
    const char alphabet[] = "^^^ABCDEaz#1 .x\x80\xE9";
    uint32_t seed = 12345;
    auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7fff; };
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const uint32_t len = next() % 24;
        for (uint32_t i = 0; i < len; ++i) text += alphabet[next() % (sizeof alphabet - 1)];
        const uint32_t count = next() % 6;
        const uint32_t size = 3 + next() % 40;
        SCOPED_TRACE(testing::Message() << "round " << round << " text \"" << text << "\" size " << size);

        // SubstituteCaretArgs: the text must fit its buffer to start with.
        if (text.size() < size) {
            std::string buffer(size + 8, '\x7f');
            memcpy(buffer.data(), text.c_str(), text.size() + 1);
            SubstituteCaretArgs(buffer.data(), args, count, size, next() % 2 == 0);
            EXPECT_LT(strlen(buffer.c_str()), size);
            EXPECT_EQ(buffer.substr(size), std::string(8, '\x7f'));  // nothing past the buffer
            if (size == 3 + 39 && count < 3) {
                std::string big(512, '\0');
                memcpy(big.data(), text.c_str(), text.size() + 1);
                SubstituteCaretArgs(big.data(), args, count, 512, false);
                EXPECT_EQ(std::string(big.c_str()), ReferenceSubstitute(text, args, count));
            }
        }

        // ExpandCaretCodes with argument texts as the provider.
        CaretArgs a{ args, count };
        const int32_t cut = static_cast<int32_t>(next() % 2);
        std::string out(size + 8, '\x7f');
        const uint32_t n = ExpandCaretCodes(text.data(), static_cast<uint32_t>(text.size()), cut,
                                            size - 1, out.data(), CaretArgsProvider, &a);
        EXPECT_LE(n, size - 1);
        EXPECT_EQ(out.substr(size - 1), std::string(9, '\x7f'));
        const uint32_t full = ExpandCaretCodes(text.data(), static_cast<uint32_t>(text.size()), cut,
                                               0, nullptr, CaretArgsProvider, &a);
        std::string wide(full + 1, '\0');
        EXPECT_EQ(ExpandCaretCodes(text.data(), static_cast<uint32_t>(text.size()), cut, full + 1,
                                   wide.data(), CaretArgsProvider, &a),
                  full);
    }
}
