// The rule programs of the command rows whose state query is EvalMenuRules, and the
// interpreter that runs them over the selection census.
//
// A program is a sequence of rules; a rule is a length byte (the rule's size, this
// byte included) followed by operations, each an opcode and its operands. The first
// rule whose operations all pass gives the result; the last rule of every program is
// a result without tests.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

enum MenuRuleOp : uint8_t {
    kRuleResult      = 0,  // text, variant, enabled, executor, argument high, low
    kRuleCounts      = 1,  // n, then n pairs (kind, v): v < 0x80 equal, else >= v - 0x80
    kRuleCountSum    = 2,  // a, b, d: counts[a] = counts[b] + d
    kRuleFlagSet     = 3,  // f
    kRuleFlagClear   = 4,  // f
    kRuleCrossings   = 5,  // n: the two newest selected objects meet n times
    kRulePredicate   = 6,  // p: predicate p answers exactly 1
    kRuleCountOfSum  = 7,  // a, n, n kinds: counts[a] = sum of their counts
    kRuleNotPredicate = 8, // p: predicate p answers 0
    kRuleLineStyle   = 9,  // s: the line-style result of rows 81 to 83
};

constexpr size_t kMenuRulesSize = 3144;
extern const std::array<uint8_t, kMenuRulesSize> MenuRules;

// Where each row's program starts, as the block was assembled (rows 81-83 share one).
struct MenuRuleProgramStart {
    uint8_t  row;
    uint16_t offset;
};
constexpr size_t kMenuRuleProgramRows = 84;
extern const std::array<MenuRuleProgramStart, kMenuRuleProgramRows> MenuRuleProgramStarts;

// The state query of the rule rows: runs the row's program (at stateWord) over the
// last selection census.
bool EvalMenuRules(uint32_t item, uint16_t stateWord, uint16_t* text, uint16_t* variant,
                   uint16_t* executor, int32_t* argument);

// The same for a row given by number, without a registered item; the registry and
// tests use it.
bool EvalMenuRulesForRow(uint32_t row, uint16_t stateWord, uint16_t* text,
                         uint16_t* variant, uint16_t* executor, int32_t* argument);

// Runs a program of another block (tests feed it programs the constant block does
// not hold); a rule that runs past the block ends the program, disabled.
bool EvalMenuRuleProgram(const uint8_t* rules, size_t size, uint32_t row, uint16_t offset,
                         uint16_t* text, uint16_t* variant, uint16_t* executor,
                         int32_t* argument);

// Predicates of opcodes 6 and 8, by number; each receives the registered item.
using MenuRulePredicate = int32_t (*)(uint32_t item);
constexpr size_t kMenuRulePredicateCount = 16;
extern const MenuRulePredicate MenuRulePredicates[kMenuRulePredicateCount];
// Predicate `predicate` of the shared table, or one the later release adds past it; -1
// for one that neither knows.
int32_t MenuRulePredicateAnswer(uint32_t predicate, uint32_t item);
