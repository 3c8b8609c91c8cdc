// Test double of the sketch hooks: counts the calls.
#pragma once

int SketchesFreedCount();
