#include "classlib/portable/dde_command.h"

#include <cctype>

namespace classlib {

namespace {

class Reader {
public:
    Reader(const char* text, size_t length) : p_(text), end_(text + length) {
        for (const char* q = text; q < end_; ++q) {
            if (*q == '\0') {
                end_ = q;
                break;
            }
        }
    }
    bool AtEnd() const { return p_ >= end_; }
    char Peek() const { return AtEnd() ? '\0' : *p_; }
    void Skip() { ++p_; }
    void SkipSpace() {
        while (!AtEnd() && std::isspace(static_cast<unsigned char>(*p_))) ++p_;
    }
    bool Take(char ch) {
        SkipSpace();
        if (Peek() != ch) return false;
        ++p_;
        return true;
    }

private:
    const char* p_;
    const char* end_;
};

bool ReadArgument(Reader& in, std::string* out) {
    in.SkipSpace();
    out->clear();
    if (in.Peek() == '"') {
        in.Skip();
        while (!in.AtEnd() && in.Peek() != '"') {
            if (out->size() >= kDdeMaxArgumentLength) return false;
            out->push_back(in.Peek());
            in.Skip();
        }
        return in.Take('"');
    }
    while (!in.AtEnd() && in.Peek() != ',' && in.Peek() != ')' && in.Peek() != ']') {
        if (out->size() >= kDdeMaxArgumentLength) return false;
        out->push_back(in.Peek());
        in.Skip();
    }
    while (!out->empty() && std::isspace(static_cast<unsigned char>(out->back()))) out->pop_back();
    return true;
}

bool ReadCommand(Reader& in, DdeCommand* command) {
    if (!in.Take('[')) return false;
    in.SkipSpace();
    command->name.clear();
    command->arguments.clear();
    while (std::isalpha(static_cast<unsigned char>(in.Peek()))) {
        if (command->name.size() >= kDdeMaxNameLength) return false;
        command->name.push_back(in.Peek());
        in.Skip();
    }
    if (command->name.empty()) return false;
    if (in.Take('(')) {
        if (!in.Take(')')) {
            do {
                if (command->arguments.size() >= kDdeMaxArguments) return false;
                std::string argument;
                if (!ReadArgument(in, &argument)) return false;
                command->arguments.push_back(std::move(argument));
            } while (in.Take(','));
            if (!in.Take(')')) return false;
        }
    }
    return in.Take(']');
}

}  // namespace

bool ParseDdeCommands(const char* text, size_t length, std::vector<DdeCommand>* commands) {
    commands->clear();
    if (!text) return false;
    Reader in(text, length);
    while (commands->size() < kDdeMaxCommands) {
        in.SkipSpace();
        if (in.AtEnd()) break;
        DdeCommand command;
        if (!ReadCommand(in, &command)) break;
        commands->push_back(std::move(command));
    }
    return !commands->empty();
}

}  // namespace classlib
