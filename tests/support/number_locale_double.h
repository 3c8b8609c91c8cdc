// Test double of the number-locale service: a settable decimal separator ("." at start).
#pragma once

void SetDecimalSeparatorForTest(char separator);

// Sets the separator for one scope and puts "." back afterwards.
struct ScopedDecimalSeparator {
    explicit ScopedDecimalSeparator(char separator) { SetDecimalSeparatorForTest(separator); }
    ~ScopedDecimalSeparator() { SetDecimalSeparatorForTest('.'); }
    ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
    ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;
};
