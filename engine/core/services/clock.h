// The platform's millisecond tick count. No engine code reads the system clock itself.
#pragma once
#include <cstdint>

uint32_t TickCount();
// *deadline = tick count + ms; 0 ms gives 0, a deadline that has always passed.
void SetDeadline(uint32_t* deadline, uint32_t ms);
// True once the tick count has reached the deadline (wrap-around safe).
bool DeadlinePassed(uint32_t deadline);
// Waits, letting the system run, until the deadline has passed.
void WaitForDeadline(uint32_t deadline);
