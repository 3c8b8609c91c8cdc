// Writes figlate's string resources and their group table as a resource script, from the
// engine's string groups. Built for the build machine and run by the build:
//     make_text_resources OUTPUT.rc
// Fails (status 1, nothing written) when a text cannot be shipped.
#include <cstdio>
#include <string>

#include "release2/text/later_texts.h"
#include "release2/text/string_resources.h"

namespace {

// Texts are code page 1252 bytes, compiled with that code page: only the quote, the
// backslash and control characters need escapes.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += "\"\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_text_resources OUTPUT.rc\n");
        return 2;
    }
    const LaterTexts texts = BuildLaterTexts();
    if (!texts.error.empty()) {
        std::fprintf(stderr, "make_text_resources: %s\n", texts.error.c_str());
        return 1;
    }
    std::string script = "// figlate's texts, generated from the engine's string groups by\n"
                         "// release2/generate/make_text_resources.cpp: do not edit.\n"
                         "STRINGTABLE\nBEGIN\n";
    for (const LaterString& s : texts.strings) script += "    " + std::to_string(s.id) + " " + Quoted(s.text) + "\n";
    script += "END\n\n" + std::to_string(kGroupTableResource) + " RCDATA\nBEGIN\n   ";
    for (size_t i = 0; i < texts.groupTable.size(); ++i) {
        script += (i ? ", " : " ") + std::to_string(texts.groupTable[i]);
    }
    script += "\nEND\n";
    FILE* file = std::fopen(argv[1], "wb");
    if (!file) return 1;
    const bool written = std::fwrite(script.data(), 1, script.size(), file) == script.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
