#include <gtest/gtest.h>

#include "classlib/collections.h"
#include "classlib/command_ids.h"


class RtBase : public CObject {
    DECLARE_DYNCREATE(RtBase)
};
IMPLEMENT_DYNCREATE(RtBase, CObject)

class RtDerived : public RtBase {
    DECLARE_DYNCREATE(RtDerived)
public:
    int value = 7;
};
IMPLEMENT_DYNCREATE(RtDerived, RtBase)

class RtAbstract : public CObject {
    DECLARE_DYNAMIC(RtAbstract)
};
IMPLEMENT_DYNAMIC(RtAbstract, CObject)

namespace {

TEST(RuntimeClass, KindsAndCreationByClass) {
    CObject* made = RUNTIME_CLASS(RtDerived)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(RtDerived)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(RtBase)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(RtAbstract)));
    EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, "RtDerived");
    EXPECT_EQ(static_cast<RtDerived*>(made)->value, 7);
    delete made;
    // A class without dynamic creation cannot be made by name.
    EXPECT_EQ(RUNTIME_CLASS(RtAbstract)->CreateObject(), nullptr);
}

TEST(StringMap, LookupReplaceRemoveAndWalk) {
    CMapStringToString map;
    map.InitHashTable(10);
    EXPECT_EQ(map.GetHashTableSize(), 10u);
    ASSERT_TRUE(map.SetAt("ma", "TRUE"));
    ASSERT_TRUE(map.SetAt("t", "Tools"));
    map["pref"] = "C:\\p.dat";
    map.SetAt("t", "Other");
    CString value;
    EXPECT_TRUE(map.Lookup("t", value));
    EXPECT_EQ(value, "Other");
    EXPECT_FALSE(map.Lookup("T", value));   // keys are case-sensitive
    EXPECT_EQ(map.GetCount(), 3);
    EXPECT_TRUE(map.RemoveKey("ma"));
    EXPECT_FALSE(map.RemoveKey("ma"));
    int seen = 0;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        CString key;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(key == "t" || key == "pref");
        ++seen;
    }
    EXPECT_EQ(seen, 2);
}

TEST(String, EditingAndFields) {
    CString s("Sketch & Co");
    EXPECT_EQ(s.Replace("&", "&&"), 1);
    EXPECT_EQ(s, "Sketch && Co");
    EXPECT_EQ(s.Left(6), "Sketch");
    EXPECT_EQ(s.Mid(100), "");
    EXPECT_EQ(s.Right(2), "Co");
    EXPECT_EQ(s.ReverseFind(' '), 9);
    EXPECT_EQ(CString("name #2").SpanExcluding(" #%;/\\"), "name");
    CString field;
    const char* doc = "\nSketch\nSketch\nVelmora Document (*.yrn)\n.yrn\nVelmora.Document\nVelmora Document";
    EXPECT_TRUE(ExtractField(field, doc, 0));
    EXPECT_EQ(field, "");
    EXPECT_TRUE(ExtractField(field, doc, 4));
    EXPECT_EQ(field, ".yrn");
    EXPECT_TRUE(ExtractField(field, doc, 6));
    EXPECT_EQ(field, "Velmora Document");
    EXPECT_FALSE(ExtractField(field, doc, 7));
    CString formatted;
    const char* args[] = { "C:\\a.yrn" };
    SubstituteArguments(formatted, "%1 was not found.", args, 1);
    EXPECT_EQ(formatted, "C:\\a.yrn was not found.");
}

TEST(LibraryStrings, TextsAtTheirNumbers) {
    struct Case { UINT id; const char* text; };
    const Case cases[] = {
        { 61440, "Open" }, { 61441, "Save As" }, { 61443, "Untitled" }, { 61444, "Save Copy As" },
        { 61698, "Failed to save document." }, { 61699, "Save changes to %1?" },
        { 61702, "Could not start print job." }, { 61705, "Command failed." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CString s;
        EXPECT_TRUE(s.LoadString(c.id));
        EXPECT_EQ(s, c.text);
    }
    CString notFound;
    FormatResourceString(notFound, IDS_LIB_FILE_NOT_FOUND, "C:\\x.yrn");
    EXPECT_EQ(notFound, "C:\\x.yrn was not found.");
}

TEST(Lists, InsertRemoveAndFind) {
    CPtrList list;
    int a = 1, b = 2, c = 3;
    list.AddTail(&b);
    list.AddHead(&a);
    list.AddTail(&c);
    EXPECT_EQ(list.GetCount(), 3);
    POSITION pos = list.Find(&b);
    ASSERT_NE(pos, nullptr);
    list.RemoveAt(pos);
    EXPECT_EQ(list.GetHead(), &a);
    EXPECT_EQ(list.GetTail(), &c);
    EXPECT_EQ(list.Find(&b), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), &c);
}

}  // namespace
