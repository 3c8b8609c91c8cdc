#include "release2/text/later_texts.h"

#include <algorithm>
#include <iterator>

#include "engine/text/string_groups.h"
#include "release2/shell/file_links.h"
#include "release2/text/string_resources.h"
#include "ui/portable/credit_texts.h"

const LaterTextGroup LaterTextGroups[kLaterTextGroupCount] = {
    // first  last      group
    { 3072, 3219 },  //  0 nouns of object kinds
    { 3248, 3447 },  //  1 menu item texts
    { 3472, 3491 },  //  2 menu titles
    { 3520, 3568 },  //  3 miscellany
    { 3600, 3712 },  //  4 construction tips
    { 3744, 3754 },  //  5 about-box pages
    { 3776, 3805 },  //  6 measurement captions
    { 3824, 3844 },  //  7 units
    { 3872, 3901 },  //  8 undo names
    { 3920, 4062 },  //  9 alerts
    { 4080, 4098 },  // 10 label sequences
    { 4128, 4233 },  // 11 object descriptions
    { 4256, 4271 },  // 12 non-existence reasons
    { 4288, 4416 },  // 13 layout templates
    { 4448, 4505 },  // 14 calculator names
    { 4528, 4538 },  // 15 tool matching
    { 4560, 4601 },  // 16 tool tips
    { 4624, 4714 },  // 17 motion, iteration and label-sequence texts
    { 4736, 4768 },  // 18 button captions
    { 4800, 4804 },  // 19 progress texts
    { 4832, 4849 },  // 20 symbol names
    { 4880, 4929 },  // 21 help
    { 4960, 4999 },  // 22 help menu
    { 5024, 5028 },  // 23 help folder
};

namespace {

struct LaterGroupItem {
    int32_t     group;
    int32_t     item;
    const char* text;
};

const LaterGroupItem kLaterGroupItems[] = {
    { kGroupMenuItems,  kLaterItemSaveAsHtml,       "Save &As HTML..." },
    { kGroupMenuItems,  kLaterItemPlotTableData,    "Plot &Table Data..." },
    { kGroupMenuItems,  198,                        "Label &Multiple Objects..." },
    { kGroupMenuItems,  199,                        "Label Ob&ject..." },
    { kGroupMotionTexts, 88,                        "<H<SW2<T'Example: '>><%1><T'...'>>" },
    { kGroupMotionTexts, 89,                        "<T', '>" },
    { kGroupMotionTexts, 90,                        "<T''>" },
    { kGroupMiscellany, kLaterItemNounSeparator,    "|" },
    // Tool prompts with typed arguments: ^A the noun (or noun and label), ^B the number.
    { kGroupToolMatching, 0,                        "^B. Match ^A..." },
    { kGroupToolMatching, 1,                        "Construct ^A..." },
    { kGroupToolMatching, 4,                        "...from Point on ^A..." },
    { kGroupToolMatching, 5,                        "...to ^A." },
    { kGroupToolMatching, 7,                        "...to Point on ^A." },
    { kGroupToolMatching, 10,                       "...on ^A." },
    { kGroupAlerts,     kLaterItemPlotTableTitle,   "Plot Table Data" },
    { kGroupAlerts,     kLaterItemPlotTableText,    "That table's columns do not contain plottable numeric data." },
};

// Texts outside the groups, by string id.
const LaterString kLaterNumberedTexts[] = {
    { 1366, "Ctrl+" },
    { 1368, "Alt+" },
    { 1369, "Shift+" },
    { 1370, "Del" },
    // The help folder's address prefix: topics open in the compiled help viewer.
    { 1383, "ms-its:" },
    { 1388, "Enhanced Metafile (*.emf)" },
    { 1389, "Windows Metafile (*.wmf)" },
    { 1392, "No Parents" },
    { 1393, "Parents" },
    { 1394, "No Children" },
    { 1395, "Children" },
    { 1404, "1x" },
    { 1405, "5x" },
    { 1406, "10x" },
    { 1407, "100%" },
    { 1408, "200%" },
    { 1409, "400%" },
    { 1410, "800%" },
    { 1414, "units per" },
    { 1415, "units each" },
    { 1418, "Cannot open the clipboard." },
    { 1419, "Cannot empty the clipboard." },
    { 1420, "Unable to copy enhanced metafile to the clipboard." },
    { 1421, "Unable to copy windows metafile to the clipboard." },
    { 1422, "Unable to copy bitmap to the clipboard." },
    { 1423, "Unable to copy script to clipboard.." },
    { 1424, "Unable to copy text to clipboard." },
    { 1425, "Unable to copy formatted text to clipboard." },
    { 1427, "Never" },
    { 1428, "When Speed Permits" },
    { 1429, "Always" },
};

const char* EngineText(int32_t group, int32_t item) {
    const StringGroupRow& row = StringGroupTable[group];
    if (item < 0 || item >= row.itemCount || !row.items[item]) return "";
    return row.items[item];
}

// The group's texts in figlate's item numbering.
std::vector<std::string> GroupItems(int32_t group) {
    std::vector<std::string> items;
    if (group == kGroupKindNouns) {
        for (int32_t kind = kFirstNounKind; kind <= kLastNounKind; ++kind) {
            std::string singular = EngineText(group, KindNounItem(kind, kNounSingular));
            const std::string article = EngineText(group, KindNounItem(kind, kNounWithArticle));
            if (!singular.empty() && !article.empty()) singular += "|" + article;
            items.push_back(singular);
            items.push_back(EngineText(group, KindNounItem(kind, kNounPlural)));
        }
    } else if (group == kGroupAbout) {
        // Page n is item 2n followed by item 2n + 1; a page fits one item here.
        for (int32_t page = 0; page < kCreditTextPages; ++page) {
            items.push_back(CreditPageText(page));
            items.push_back("");
        }
    } else {
        for (int32_t item = 0; item < StringGroupTable[group].itemCount; ++item) items.push_back(EngineText(group, item));
    }
    // Help topics point into the one compiled help file in the help folder.
    if (group == kGroupHelpTargets || group == kGroupHelpMenu) {
        for (std::string& item : items) {
            char target[512];
            if (CompiledHelpTarget(item.c_str(), target, sizeof target)) item = target;
        }
    }
    for (const LaterGroupItem& extra : kLaterGroupItems) {
        if (extra.group != group) continue;
        if (items.size() <= size_t(extra.item)) items.resize(size_t(extra.item) + 1);
        items[size_t(extra.item)] = extra.text;
    }
    return items;
}

bool Shippable(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return IsDroppedByResourceCompiler(static_cast<unsigned char>(c)); });
}

}  // namespace

bool IsDroppedByResourceCompiler(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

LaterTexts BuildLaterTexts() {
    LaterTexts out;
    out.groupTable.push_back(uint16_t(kLaterTextGroupCount));
    for (int32_t group = 0; group < kLaterTextGroupCount; ++group) {
        const LaterTextGroup& range = LaterTextGroups[group];
        out.groupTable.push_back(range.first);
        out.groupTable.push_back(range.last);
        const std::vector<std::string> items = GroupItems(group);
        for (size_t item = 0; item < items.size(); ++item) {
            if (items[item].empty()) continue;
            if (range.first + item > range.last) {
                out.error = "group " + std::to_string(group) + " item " + std::to_string(item) +
                            " lies past the group's last string id";
                return out;
            }
            out.strings.push_back({ uint16_t(range.first + item), items[item] });
        }
    }
    for (const LaterString& s : kLaterNumberedTexts) out.strings.push_back(s);
    std::sort(out.strings.begin(), out.strings.end(),
              [](const LaterString& a, const LaterString& b) { return a.id < b.id; });
    for (const LaterString& s : out.strings) {
        if (!Shippable(s.text)) {
            out.error = "string " + std::to_string(s.id) + " holds a byte the resource compiler drops";
            return out;
        }
        if (s.id >= kResourceIdLimit) {
            out.error = "string " + std::to_string(s.id) + " lies past the ids the program reads";
            return out;
        }
        if (s.text.size() > size_t(kLongestResourceText)) {
            out.error = "string " + std::to_string(s.id) + " is longer than the program loads";
            return out;
        }
    }
    return out;
}
