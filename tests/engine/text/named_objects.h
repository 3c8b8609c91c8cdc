// A sketch fixture for the label and description tests: points with typed labels, and
// objects of any construction made without a recompute (the label and description code
// reads only their type, class, kind, parents and construction data).
#pragma once
#include "engine/core/sketch_fixture.h"
#include "engine/text/object_labels.h"

class NamedObjectsTest : public SketchTest {
protected:
    SketchObject* Named(const char* label) {
        SketchObject* p = FreePoint();
        EXPECT_EQ(SetObjectLabel(p, label, false), 0);
        return p;
    }

    SketchObject* Raw(int32_t type, int32_t objectClass, int32_t kind, std::initializer_list<SketchObject*> parents,
                      PtrList data = 0) {
        const ObjectTemplate t = { type, 0, 0, objectClass, 1, kind, 0 };
        SketchObject* o = AllocObject(objectClass, &t);
        EXPECT_NE(o, nullptr);
        o->objectKind = kind;
        EXPECT_TRUE(SetObjectParents(o, List(parents)));
        o->constructionData = data;
        o->exists = 1;
        LinkObjectIntoSketch(o, kNotLinked);
        return o;
    }
};
