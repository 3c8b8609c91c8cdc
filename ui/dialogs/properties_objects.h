// What the Properties sheet asks of sketch objects, answered without the Windows headers
// (some engine names clash with theirs).
#pragma once

struct SketchObject;

// A function plot whose domain is an angle (r as a function of theta).
bool PlotHasAngleDomain(const SketchObject* plot);
// A parameter (whose Value page edits its value).
bool ObjectIsParameter(const SketchObject* object);
