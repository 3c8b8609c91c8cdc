// The platform's drawing of sketch objects: the class drawing routines that fill the
// draw slots of the object class table, and the port operations that the drawing pass
// brackets them with. The engine never looks inside a port.
#pragma once
#include <cstdint>

#include "engine/core/screen_types.h"

struct GraphicsPort;
struct SketchObject;

// Draw slots of the object class table (draw, drawSelected).
void DrawPointObject(GraphicsPort* port, SketchObject* object);
void DrawPointSelection(GraphicsPort* port, SketchObject* object);
void DrawStraightObject(GraphicsPort* port, SketchObject* object);
void DrawStraightSelection(GraphicsPort* port, SketchObject* object);
void DrawCircleObject(GraphicsPort* port, SketchObject* object);
void DrawCircleSelection(GraphicsPort* port, SketchObject* object);
void DrawCircleInterior(GraphicsPort* port, SketchObject* object);
void DrawCircleInteriorSelection(GraphicsPort* port, SketchObject* object);
// An axis: its line, tick marks and tick numbers.
void DrawAxisObject(GraphicsPort* port, SketchObject* object);
void DrawAxisSelection(GraphicsPort* port, SketchObject* object);
// The grid of a coordinate system from its origin, tick spacing and grid form.
void DrawCoordinateGrid(GraphicsPort* port, SketchObject* object);
void DrawCoordinateGridSelection(GraphicsPort* port, SketchObject* object);
void DrawPolygonInterior(GraphicsPort* port, SketchObject* object);
void DrawPolygonSelection(GraphicsPort* port, SketchObject* object);
void DrawArcObject(GraphicsPort* port, SketchObject* object);
void DrawArcSelection(GraphicsPort* port, SketchObject* object);
void DrawArcInterior(GraphicsPort* port, SketchObject* object);
void DrawArcInteriorSelection(GraphicsPort* port, SketchObject* object);
// Captions, measurements and calculations: DrawTextObject draws on a transparent
// background, DrawTextObjectBody only the text (dimmed by the mark word) and the frame of
// a highlighted object.
void DrawTextObject(GraphicsPort* port, SketchObject* object);
void DrawTextObjectBody(GraphicsPort* port, SketchObject* object);
void DrawTextObjectSelection(GraphicsPort* port, SketchObject* object);
void DrawPictureObject(GraphicsPort* port, SketchObject* object);
void DrawPictureSelection(GraphicsPort* port, SketchObject* object);
// Tables draw themselves through the port (DrawTable) up to the screen's limit.
void DrawTableObject(GraphicsPort* port, SketchObject* object);
void DrawTableSelection(GraphicsPort* port, SketchObject* object);
// Action buttons: the colour tab and the face with its bevel and caption, pushed in when
// exactly one of running and held (mark bit 0x02) holds.
void DrawActionButton(GraphicsPort* port, SketchObject* object);
void DrawActionButtonSelection(GraphicsPort* port, SketchObject* object);
void DrawActionButtonFace(GraphicsPort* port, SketchObject* object);

// The draw columns of the shape families: every image record of a locus or an iterated
// image, walked with the enumerator (record layouts in shape_families.h), and their
// selection highlights.
using SampleEnumeratorFn = bool (*)(void* user, bool (*callback)(void* state, uint8_t* record, int32_t index),
                                    void* state);
void DrawPointSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                      SampleEnumeratorFn enumerator, void* user);
void DrawPointSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                               SampleEnumeratorFn enumerator, void* user);
void DrawStraightSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                         SampleEnumeratorFn enumerator, void* user);
void DrawStraightSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                  SampleEnumeratorFn enumerator, void* user);
void DrawCircleSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                       SampleEnumeratorFn enumerator, void* user);
void DrawCircleSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                SampleEnumeratorFn enumerator, void* user);
void DrawPolygonSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                        SampleEnumeratorFn enumerator, void* user);
void DrawPolygonSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                                 SampleEnumeratorFn enumerator, void* user);
void DrawArcSamples(GraphicsPort* port, SketchObject* object, const void* familyData,
                    SampleEnumeratorFn enumerator, void* user);
void DrawArcSamplesSelection(GraphicsPort* port, SketchObject* object, const void* familyData,
                             SampleEnumeratorFn enumerator, void* user);

// Brackets the selection highlights of one draw layer.
void SetFeedbackPen(GraphicsPort* port, int32_t layer, int32_t on);
// Draws an object in trace style into the port's traces layer.
void DrawObjectTrace(GraphicsPort* port, SketchObject* object);
// The marquee of a selection drag, drawn over the sketch.
void DrawSelectionMarquee(GraphicsPort* port, const ScreenRect& rect);
// Bracket one object drawn into a picture, so that it is a group of its own.
void BeginMetafileGroup(GraphicsPort* port, SketchObject* object, const ScreenRect* rect);
void EndMetafileGroup(GraphicsPort* port, SketchObject* object, const ScreenRect* rect);

// The render state's dim level (0 none .. 20 the background colour), at which objects
// marked 0x08 are drawn; the fade of objects being hidden or shown steps it.
void    SetDimLevel(int32_t level);
int32_t GetDimLevel();
