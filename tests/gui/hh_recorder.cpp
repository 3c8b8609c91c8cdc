// Stands in for the compiled help viewer in the GUI scenarios: named hh.exe beside the
// program (and preferred to Wine's own through WINEDLLOVERRIDES=hh.exe=n), it appends
// the command line it was given, less its own name, as one line to the file that
// FIG_HH_LOG names.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
    const char* log = std::getenv("FIG_HH_LOG");
    if (!log) return 1;
    const char* line = GetCommandLineA();
    // Past the program's own name, quoted or not, and the blanks after it.
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    FILE* file = std::fopen(log, "ab");
    if (!file) return 1;
    std::fprintf(file, "%s\n", line);
    std::fclose(file);
    return 0;
}
