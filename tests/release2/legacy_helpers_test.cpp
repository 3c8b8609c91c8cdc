// What figlate adds to the import of older documents: a caption's stored box width, and
// an old point plotted from one value, built on hidden helpers; each checked both ways.
#include "release2/engine/legacy_helpers.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/calc/value_objects.h"
#include "engine/core/construction_data.h"
#include "engine/core/marks.h"
#include "engine/core/points.h"
#include "engine/core/sketch_fixture.h"
#include "engine/core/transform_maps.h"
#include "engine/docio/document_fixture.h"
#include "engine/docio/legacy_writer.h"
#include "engine/docio/seed_files.h"
#include "engine/text/captions.h"
#include "engine/text/layout_test_util.h"
#include "engine/text/object_labels.h"
#include "layout_forms_installed.h"
#include "release2/engine/engine_forms.h"
#include "release2/text/caption_width.h"
#include "release2/text/layout_forms.h"

namespace {

void AddImportForms(LaterReleaseForms* forms) {
    AddEngineForms(forms);
    AddLayoutForms(forms);
    AddCaptionForms(forms);
}

struct ImportFormsInstalled {
    ImportFormsInstalled() {
        LaterReleaseForms forms{};
        AddImportForms(&forms);
        InstallLaterForms(forms);
    }
    ~ImportFormsInstalled() { ResetLaterForms(); }
};

class LegacyHelpers : public SketchTest {
protected:
    SketchObject* System() {
        bool created = false;
        SketchObject* system = GetCoordinateSystem(0, true, &created);
        EXPECT_NE(system, nullptr);
        return system;
    }
    int32_t Count() const { return int32_t(SketchOrder().size()); }
};

TEST_F(LegacyHelpers, APlottedValueAndItsStepAcrossTheAxis) {
    SketchObject* system = System();
    SketchObject* value = Value(1);
    const int32_t before = Count();
    SketchObject* shared = nullptr;
    SketchObject* made[2] = {};
    for (bool flag : { true, false }) {
        SCOPED_TRACE(flag);
        ASSERT_EQ(CreateLegacyHelperObjects(value, system, flag, &shared, made), kResultOK);
        ASSERT_NE(shared, nullptr);
        SketchObject* point = made[0];
        SketchObject* image = made[1];
        EXPECT_EQ(shared->objectClass, kClassCalculation);
        EXPECT_EQ(shared->objectKind, kKindPlainParameter);
        EXPECT_EQ(ValueDisplayOf(shared)->value, 0);
        EXPECT_EQ(point->constructionType, 73);
        EXPECT_EQ(Parents(point), flag ? (std::vector<SketchObject*>{ value, shared, system })
                                       : (std::vector<SketchObject*>{ shared, value, system }));
        EXPECT_EQ(image->constructionType, 21);
        EXPECT_EQ(Parents(image), std::vector<SketchObject*>{ point });
        for (SketchObject* o : { shared, point, image }) EXPECT_EQ(o->hidden, kHiddenAsConsumed);
        ASSERT_EQ(point->exists, 1);
        ASSERT_EQ(image->exists, 1);
        // With the flag the value is an x and the step goes up across the horizontal
        // axis; without, it is a y and the step goes right.
        const RealPoint p = PointPosition(point), q = PointPosition(image);
        EXPECT_DOUBLE_EQ(q.x - p.x, flag ? 0 : 100);
        EXPECT_DOUBLE_EQ(q.y - p.y, flag ? -100 : 0);
    }
    EXPECT_EQ(Count(), before + 1 + 4);  // one parameter, two pairs
}

TEST_F(LegacyHelpers, OutOfMemoryLeavesNothingMade) {
    SketchObject* system = System();
    SketchObject* value = Value(2);
    const int32_t before = Count();
    for (uint32_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        SketchObject* shared = nullptr;
        SketchObject* made[2] = { value, value };
        SetAllocFailureAfter(n);
        const int32_t rc = CreateLegacyHelperObjects(value, system, true, &shared, made);
        SetAllocFailureAfter(0);
        if (rc == kResultOK) break;
        ASSERT_EQ(rc, kResultOutOfMemory);
        EXPECT_EQ(shared, nullptr);
        EXPECT_EQ(made[0], nullptr);
        ASSERT_EQ(Count(), before);
        ASSERT_LT(n, 500u);
    }
}

class LegacyImport : public DocumentTest {
protected:
    Sketch* Open(const std::vector<uint8_t>& bytes, ResultCode expected) {
        // The older reader's fuzz target takes these documents as seeds.
        static int serial = 0;
        SaveFuzzSeed("legacy_document_fuzz", std::string("figlate_import_") + std::to_string(++serial), bytes);
        ReadResult r = Read(bytes);
        EXPECT_EQ(r.code, expected);
        if (!r.document || DocumentPageCount(r.document) == 0) return nullptr;
        return DocumentPageAt(r.document, 0);
    }
    static std::vector<SketchObject*> Objects(const Sketch* s) {
        std::vector<SketchObject*> out;
        for (SketchObject* o = s->firstObject; o; o = o->nextInSketch) out.push_back(o);
        return out;
    }
};

TEST_F(LegacyImport, CaptionsWrapToTheirStoredBoxWidthInFiglateOnly) {
    struct Case { bool figlate; bool mac; int16_t box; const char* body; bool wraps; };
    const Case cases[] = {
        { false, false, 120, "one two three four", false },
        { true, false, 120, "one two three four", true },
        { true, true, 90, "one two three four", true },
        { true, false, 10, "one two three four", false },
        // Nothing to break: a width that would not be saved is not kept either.
        { true, false, 120, "one", false },
        { true, true, 120, "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.figlate << " " << c.mac << " " << c.box);
        std::optional<ImportFormsInstalled> later;
        if (c.figlate) later.emplace();
        LegacyWriter w(c.mac);
        LegacyObjectSpec text = LegacyCaption(w, c.mac, c.body, 40, 50, 12);
        text.boxWidth = c.box;
        text.boxHeight = 30;
        w.Add(text);
        Sketch* page = Open(w.Bytes(), kResultOlderFormat);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Objects(page).size(), 1u);
        LayoutNode* layout = CaptionDataOf(Objects(page)[0])->layout;
        // Broken at the box's width, then fitted to the rows as a read caption is.
        const int32_t width = c.figlate ? GetLayoutWrapWidth(layout, nullptr) : 0;
        if (c.wraps) {
            EXPECT_GT(width, 10);
            EXPECT_LE(width, c.box);
            EXPECT_GE(LayoutChildCount(FindRowsNode(layout)), 2);
        } else {
            EXPECT_EQ(width, 0);
        }
        EXPECT_EQ(Objects(page)[0]->bounds.left, 40);
        // Saved, the converted caption opens again as it was, and saves the same.
        const std::vector<uint8_t> saved = Write(page->document);
        ReadResult again = Read(saved);
        ASSERT_NE(again.document, nullptr);
        LayoutNode* reread = CaptionDataOf(DocumentPageAt(again.document, 0)->firstObject)->layout;
        EXPECT_EQ(WriteLayout(reread, 0), WriteLayout(layout, 0));
        EXPECT_EQ(Write(again.document), saved);
    }
}

TEST_F(LegacyImport, APointPlottedFromOneValueIsBuiltOnHelpersInFiglate) {
    for (bool figlate : { false, true }) {
        SCOPED_TRACE(figlate);
        std::optional<ImportFormsInstalled> later;
        if (figlate) later.emplace();
        LegacyWriter w(false);
        w.Add(LegacyPoint(w, 100, 200));  // 1 the origin
        w.Add(LegacyUnitPoint(w, 1));       // 2
        w.Add(LegacySystem(w, { 1, 2 }));   // 3
        w.Add(LegacyCalculation(w, {}, { 3 }));  // 4: the value 3
        for (const char* label : { "V", "W" }) {
            LegacyObjectSpec plotted = LegacyPoint(w, 0, 0, label);
            plotted.code = 59;
            plotted.parents = { 4, 3 };
            plotted.labelShown = 1;
            w.Add(plotted);
        }
        LegacyObjectSpec segment;  // 7: depends on the first plotted point
        segment.oldClass = 2;
        segment.kind = 9;
        segment.code = 2;
        segment.data.assign(30, 0);
        segment.data[29] = 2;
        segment.parents = { 1, 5 };
        w.Add(segment);
        Sketch* page = Open(w.Bytes(), figlate ? kResultOlderFormat : kResultSkippedObject);
        ASSERT_NE(page, nullptr);
        std::vector<SketchObject*> plotted, images, parameters, segments;
        for (SketchObject* o : Objects(page)) {
            if (o->constructionType == 73) plotted.push_back(o);
            if (o->constructionType == 21) images.push_back(o);
            if (o->objectKind == kKindPlainParameter && o->hidden == kHiddenAsConsumed) parameters.push_back(o);
            if (o->objectClass == kClassStraight && o->constructionType == kTypeSegment) segments.push_back(o);
        }
        if (!figlate) {
            // Left out, and what was built on it with it.
            EXPECT_TRUE(plotted.empty());
            EXPECT_TRUE(segments.empty());
            continue;
        }
        ASSERT_EQ(plotted.size(), 2u);
        ASSERT_EQ(images.size(), 2u);
        ASSERT_EQ(parameters.size(), 1u);  // one zero for the whole import
        EXPECT_EQ(segments.size(), 1u);
        char label[kLabelBufferSize];
        GetObjectLabelText(plotted[0], label, sizeof label);
        EXPECT_STREQ(label, "V");
        for (SketchObject* p : plotted) {
            EXPECT_EQ(p->hidden, kShown);
            EXPECT_EQ(p->exists, 1);
        }
        for (SketchObject* o : images) EXPECT_EQ(o->hidden, kHiddenAsConsumed);
        EXPECT_EQ(ValueDisplayOf(parameters[0])->value, 0);
        // Saved, the page opens again as it was, and saves the same.
        const std::vector<uint8_t> saved = Write(page->document);
        ReadResult again = Read(saved);
        ASSERT_NE(again.document, nullptr);
        std::vector<SketchObject*> before = Objects(page), after = Objects(DocumentPageAt(again.document, 0));
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(after[i]->constructionType, before[i]->constructionType);
            EXPECT_EQ(after[i]->hidden, before[i]->hidden);
            EXPECT_EQ(after[i]->objectKind, before[i]->objectKind);
            EXPECT_EQ(after[i]->exists, before[i]->exists);
        }
        const std::vector<uint8_t> second = Write(again.document);
        EXPECT_EQ(second.size(), saved.size());
        for (size_t i = 0; i < second.size() && i < saved.size(); ++i)
            if (second[i] != saved[i]) {
                std::string a, b;
                for (size_t k = (i > 40 ? i - 40 : 0); k < i + 24 && k < saved.size(); ++k) {
                    char h[4];
                    std::snprintf(h, sizeof h, "%02x ", saved[k]);
                    a += h;
                    std::snprintf(h, sizeof h, "%02x ", second[k]);
                    b += h;
                }
                ADD_FAILURE() << "first difference at " << i << "\n" << a << "\n" << b;
                break;
            }
    }
}

}  // namespace
