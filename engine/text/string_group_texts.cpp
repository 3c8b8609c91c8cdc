// The texts of the string groups. Generated once from the written texts and kept
// by hand since; item numbers are part of the interface (callers compute them).
#include "engine/text/string_groups.h"

#include <iterator>

namespace {

// Group 0: nouns of object kinds: singular, plural, with article; three items per kind 1..74.
const char* const kGroup0[] = {
    /*   0 */ "Object",
    /*   1 */ "Objects",  // derived
    /*   2 */ "an object",  // derived
    /*   3 */ "Object",
    /*   4 */ "Objects",  // derived
    /*   5 */ "an object",  // derived
    /*   6 */ "Object",
    /*   7 */ "Objects",  // derived
    /*   8 */ "an object",  // derived
    /*   9 */ "Point",
    /*  10 */ "Points",  // derived
    /*  11 */ "a point",  // derived
    /*  12 */ "Path Object",
    /*  13 */ "Path Objects",  // derived
    /*  14 */ "a path object",  // derived
    /*  15 */ "Path Object",
    /*  16 */ "Path Objects",  // derived
    /*  17 */ "a path object",  // derived
    /*  18 */ "Straight Object",
    /*  19 */ "Straight Objects",  // derived
    /*  20 */ "a straight object",  // derived
    /*  21 */ "Curve",
    /*  22 */ "Curves",  // derived
    /*  23 */ "a curve",  // derived
    /*  24 */ "Interior",
    /*  25 */ "Interiors",  // derived
    /*  26 */ "an interior",  // derived
    /*  27 */ "Point",
    /*  28 */ "Points",  // derived
    /*  29 */ "a point",  // derived
    /*  30 */ "Midpoint",
    /*  31 */ "Midpoints",  // derived
    /*  32 */ "a midpoint",  // derived
    /*  33 */ "Line",
    /*  34 */ "Lines",  // derived
    /*  35 */ "a line",  // derived
    /*  36 */ "Ray",
    /*  37 */ "Rays",  // derived
    /*  38 */ "a ray",  // derived
    /*  39 */ "Segment",
    /*  40 */ "Segments",  // derived
    /*  41 */ "a segment",  // derived
    /*  42 */ "Polygon Interior",
    /*  43 */ "Polygon Interiors",  // derived
    /*  44 */ "a polygon interior",  // derived
    /*  45 */ "Circle Interior",
    /*  46 */ "Circle Interiors",  // derived
    /*  47 */ "a circle interior",  // derived
    /*  48 */ "Text",
    /*  49 */ "Texts",  // derived
    /*  50 */ "a text",  // derived
    /*  51 */ "Measurement",
    /*  52 */ "Measurements",  // derived
    /*  53 */ "a measurement",  // derived
    /*  54 */ "Caption",
    /*  55 */ "Captions",  // derived
    /*  56 */ "a caption",  // derived
    /*  57 */ "Action Button",
    /*  58 */ "Action Buttons",  // derived
    /*  59 */ "an action button",  // derived
    /*  60 */ "Analytic Measure",
    /*  61 */ "Analytic Measures",  // derived
    /*  62 */ "an analytic measure",  // derived
    /*  63 */ "Circle",
    /*  64 */ "Circles",  // derived
    /*  65 */ "a circle",  // derived
    /*  66 */ "Arc",
    /*  67 */ "Arcs",  // derived
    /*  68 */ "an arc",  // derived
    /*  69 */ "Arc",
    /*  70 */ "Arcs",  // derived
    /*  71 */ "an arc",  // derived
    /*  72 */ "Arc Interior",
    /*  73 */ "Arc Interiors",  // derived
    /*  74 */ "an arc interior",  // derived
    /*  75 */ "Arc Sector",
    /*  76 */ "Arc Sectors",  // derived
    /*  77 */ "an arc sector",  // derived
    /*  78 */ "Arc Segment",
    /*  79 */ "Arc Segments",  // derived
    /*  80 */ "an arc segment",  // derived
    /*  81 */ "Measurement",
    /*  82 */ "Measurements",  // derived
    /*  83 */ "a measurement",  // derived
    /*  84 */ "Coordinates",
    /*  85 */ "Coordinates",  // derived
    /*  86 */ "coordinates",  // derived
    /*  87 */ "Equation",
    /*  88 */ "Equations",  // derived
    /*  89 */ "an equation",  // derived
    /*  90 */ "Linear Equation",
    /*  91 */ "Linear Equations",  // derived
    /*  92 */ "a linear equation",  // derived
    /*  93 */ "Quadratic Equation",
    /*  94 */ "Quadratic Equations",  // derived
    /*  95 */ "a quadratic equation",  // derived
    /*  96 */ "Axis",
    /*  97 */ "Axes",  // derived
    /*  98 */ "an axis",  // derived
    /*  99 */ "Coordinate System",
    /* 100 */ "Coordinate Systems",  // derived
    /* 101 */ "a coordinate system",  // derived
    /* 102 */ "Unit Point",
    /* 103 */ "Unit Points",  // derived
    /* 104 */ "a unit point",  // derived
    /* 105 */ "Origin Point",
    /* 106 */ "Origin Points",  // derived
    /* 107 */ "an origin point",  // derived
    /* 108 */ "Locus",
    /* 109 */ "Loci",  // derived
    /* 110 */ "a locus",  // derived
    /* 111 */ "Locus",
    /* 112 */ "Loci",  // derived
    /* 113 */ "a locus",  // derived
    /* 114 */ "Bisector",
    /* 115 */ "Bisectors",  // derived
    /* 116 */ "a bisector",  // derived
    /* 117 */ "Intersection",
    /* 118 */ "Intersections",  // derived
    /* 119 */ "an intersection",  // derived
    /* 120 */ "Parallel Line",
    /* 121 */ "Parallel Lines",  // derived
    /* 122 */ "a parallel line",  // derived
    /* 123 */ "Perpendicular Line",
    /* 124 */ "Perpendicular Lines",  // derived
    /* 125 */ "a perpendicular line",  // derived
    /* 126 */ "Distance Measurement",
    /* 127 */ "Distance Measurements",  // derived
    /* 128 */ "a distance measurement",  // derived
    /* 129 */ "Angle Measurement",
    /* 130 */ "Angle Measurements",  // derived
    /* 131 */ "an angle measurement",  // derived
    /* 132 */ "Area Measurement",
    /* 133 */ "Area Measurements",  // derived
    /* 134 */ "an area measurement",  // derived
    /* 135 */ "Measurement",
    /* 136 */ "Measurements",  // derived
    /* 137 */ "a measurement",  // derived
    /* 138 */ "Triangle",
    /* 139 */ "Triangles",  // derived
    /* 140 */ "a triangle",  // derived
    /* 141 */ "Quadrilateral",
    /* 142 */ "Quadrilaterals",  // derived
    /* 143 */ "a quadrilateral",  // derived
    /* 144 */ "Pentagon",
    /* 145 */ "Pentagons",  // derived
    /* 146 */ "a pentagon",  // derived
    /* 147 */ "Hexagon",
    /* 148 */ "Hexagons",  // derived
    /* 149 */ "a hexagon",  // derived
    /* 150 */ "Iteration Rule",
    /* 151 */ "Iteration Rules",  // derived
    /* 152 */ "an iteration rule",  // derived
    /* 153 */ "Iterated Image",
    /* 154 */ "Iterated Images",  // derived
    /* 155 */ "an iterated image",  // derived
    /* 156 */ "Plotted Point",
    /* 157 */ "Plotted Points",  // derived
    /* 158 */ "a plotted point",  // derived
    /* 159 */ "Function",
    /* 160 */ "Functions",  // derived
    /* 161 */ "a function",  // derived
    /* 162 */ "Function Plot",
    /* 163 */ "Function Plots",  // derived
    /* 164 */ "a function plot",  // derived
    /* 165 */ "Merged Text",
    /* 166 */ "Merged Texts",  // derived
    /* 167 */ "a merged text",  // derived
    /* 168 */ "Derivative",
    /* 169 */ "Derivatives",  // derived
    /* 170 */ "a derivative",  // derived
    /* 171 */ "Derivative",
    /* 172 */ "Derivatives",  // derived
    /* 173 */ "a derivative",  // derived
    /* 174 */ "Approximate Derivative",
    /* 175 */ "Approximate Derivatives",  // derived
    /* 176 */ "an approximate derivative",  // derived
    /* 177 */ "Imported Object",
    /* 178 */ "Imported Objects",  // derived
    /* 179 */ "an imported object",  // derived
    /* 180 */ "Picture",
    /* 181 */ "Pictures",  // derived
    /* 182 */ "a picture",  // derived
    /* 183 */ "Parameter",
    /* 184 */ "Parameters",  // derived
    /* 185 */ "a parameter",  // derived
    /* 186 */ "Distance Parameter",
    /* 187 */ "Distance Parameters",  // derived
    /* 188 */ "a distance parameter",  // derived
    /* 189 */ "Angle Parameter",
    /* 190 */ "Angle Parameters",  // derived
    /* 191 */ "an angle parameter",  // derived
    /* 192 */ "Table",
    /* 193 */ "Tables",  // derived
    /* 194 */ "a table",  // derived
    /* 195 */ "Table",
    /* 196 */ "Tables",  // derived
    /* 197 */ "a table",  // derived
    /* 198 */ "Table",
    /* 199 */ "Tables",  // derived
    /* 200 */ "a table",  // derived
    /* 201 */ "Distance",
    /* 202 */ "Distances",  // derived
    /* 203 */ "a distance",  // derived
    /* 204 */ "Circle",
    /* 205 */ "Circles",  // derived
    /* 206 */ "a circle",  // derived
    /* 207 */ "Area",
    /* 208 */ "Areas",  // derived
    /* 209 */ "an area",  // derived
    /* 210 */ "Pre-image",
    /* 211 */ "Pre-images",  // derived
    /* 212 */ "a pre-image",  // derived
    /* 213 */ "Curve",
    /* 214 */ "Curves",  // derived
    /* 215 */ "a curve",  // derived
    /* 216 */ "Area",
    /* 217 */ "Areas",  // derived
    /* 218 */ "an area",  // derived
    /* 219 */ "Perimetered Interior",
    /* 220 */ "Perimetered Interiors",  // derived
    /* 221 */ "a perimetered interior",  // derived
    /* 222 */ "",
    /* 223 */ "",
    /* 224 */ "",
};
static_assert(std::size(kGroup0) == 225);

// Group 1: menu item texts with mnemonics; numbered with the command table.
const char* const kGroup1[] = {
    /*   0 */ "&Point On Object",
    /*   1 */ "&Point On ^A",
    /*   2 */ "&Points On ^A",
    /*   3 */ "&Midpoint",
    /*   4 */ "&Midpoints",
    /*   5 */ "&Intersection",
    /*   6 */ "&Intersections",
    /*   7 */ "&Segment",
    /*   8 */ "&Segments",
    /*   9 */ "Parall&el Line",
    /*  10 */ "Parall&el Lines",
    /*  11 */ "Perpen&dicular Line",
    /*  12 */ "Perpen&dicular Lines",
    /*  13 */ "Angle &Bisector",
    /*  14 */ "&Circle By Center+Point",
    /*  15 */ "Circle By Center+&Radius",
    /*  16 */ "Circles By Center+&Radii",
    /*  17 */ "Circles By Centers+&Radius",
    /*  18 */ "I&nterior",
    /*  19 */ "Polygon I&nterior",
    /*  20 */ "^A I&nterior",
    /*  21 */ "Circle I&nterior",
    /*  22 */ "Circle I&nteriors",
    /*  23 */ "Arc I&nterior",
    /*  24 */ "Arc I&nteriors",
    /*  25 */ "&Translate...",
    /*  26 */ "&Rotate...",
    /*  27 */ "&Dilate...",
    /*  28 */ "Re&flect",
    /*  29 */ "&Mark",
    /*  30 */ "Mark Segment Rati&o",
    /*  31 */ "Mark Scale Fact&or",
    /*  32 */ "&Quit",
    /*  33 */ "&Open...",
    /*  34 */ "Save &As HTML...",
    /*  35 */ "&Hide Objects",
    /*  36 */ "&Hide ^A",
    /*  37 */ "&New Sketch",
    /*  38 */ "T&race",
    /*  39 */ "&Trace ^A",
    /*  40 */ "&Mark Coordinate System",
    /*  41 */ "&Save...",
    /*  42 */ "&Save",
    /*  43 */ "Save &As...",
    /*  44 */ "Loc&us",
    /*  45 */ "&Increase Speed",
    /*  46 */ "&Increase All Speeds",
    /*  47 */ "&Show All Hidden",
    /*  48 */ "Pr&operties...",
    /*  49 */ "&Undo",
    /*  50 */ "&Undo ^A^B ^C",
    /*  51 */ "&Redo",
    /*  52 */ "&Redo ^A^B ^C",
    /*  53 */ "&Split/Merge",
    /*  54 */ "&Split ^A From ^B",
    /*  55 */ "&Split Point",
    /*  56 */ "&Merge ^A To ^B",
    /*  57 */ "&Merge Points",
    /*  58 */ "&Split Merged Text",
    /*  59 */ "&Merge Text",
    /*  60 */ "&Merge Text To Point",
    /*  61 */ "&Animate",
    /*  62 */ "&Animate ^A",
    /*  63 */ "&Resume Animation",
    /*  64 */ "&Pause Animation",
    /*  65 */ "&Decrease Speed",
    /*  66 */ "&Decrease All Speeds",
    /*  67 */ "&Delete",
    /*  68 */ "&Delete ^A",
    /*  69 */ "&About Velmora...",
    /*  70 */ "&Length",
    /*  71 */ "&Distance",
    /*  72 */ "&Perimeter",
    /*  73 */ "&Circumference",
    /*  74 */ "&Angle",
    /*  75 */ "Ar&ea",
    /*  76 */ "Arc An&gle",
    /*  77 */ "Arc &Length",
    /*  78 */ "Geometric &Slope",
    /*  79 */ "&Radius",
    /*  80 */ "Rati&o",
    /*  81 */ "Calc&ulate...",
    /*  82 */ "Coordina&tes",
    /*  83 */ "&Equation",
    /*  84 */ "&Equations",
    /*  85 */ "Select &All",
    /*  86 */ "Select &All Points",
    /*  87 */ "Select &All Circles",
    /*  88 */ "Select &All Segments",
    /*  89 */ "Select &All Rays",
    /*  90 */ "Select &All Lines",
    /*  91 */ "Select &All Text",
    /*  92 */ "Select Pare&nts",
    /*  93 */ "Select C&hildren",
    /*  94 */ "&Define Coordinate System",
    /*  95 */ "&Define Origin",
    /*  96 */ "&Define Unit Circle",
    /*  97 */ "&Define Unit Distance",
    /*  98 */ "&Define Unit Distances",
    /*  99 */ "Show &Grid",
    /* 100 */ "Hide &Grid",
    /* 101 */ "Show Coordinate System",
    /* 102 */ "Hide Coordinate System",
    /* 103 */ "&Snap Points",
    /* 104 */ "&Plot Points...",
    /* 105 */ "&Plot As (x, y)",
    /* 106 */ "&Plot As (r, theta)",
    /* 107 */ "&Line",
    /* 108 */ "&Lines",
    /* 109 */ "&Polar Grid",
    /* 110 */ "&Square Grid",
    /* 111 */ "&Rectangular Grid",
    /* 112 */ "&Hide/Show",
    /* 113 */ "&Animation...",
    /* 114 */ "&Movement...",
    /* 115 */ "&Link...",
    /* 116 */ "&Scroll...",
    /* 117 */ "&Presentation...",
    /* 118 */ "Ra&y",
    /* 119 */ "&Rays",
    /* 120 */ "&Erase Traces",
    /* 121 */ "Plot New &Function...",
    /* 122 */ "Plot &Function",
    /* 123 */ "Plot &Functions",
    /* 124 */ "&Length/Distance",
    /* 125 */ "Pre&ferences...",
    /* 126 */ "Advanced Pre&ferences...",
    /* 127 */ "&Stop Animation",
    /* 128 */ "&Stop All Motions",
    /* 129 */ "Show &Labels",
    /* 130 */ "Show &Label",
    /* 131 */ "Hide &Labels",
    /* 132 */ "Hide &Label",
    /* 133 */ "Te&xt Style...",
    /* 134 */ "Show Tool&box",
    /* 135 */ "Hide Tool&box",
    /* 136 */ "&New Function...",
    /* 137 */ "&Dotted",
    /* 138 */ "&Dashed",
    /* 139 */ "Thi&n",
    /* 140 */ "Thic&k",
    /* 141 */ "Mark &Center",
    /* 142 */ "Mark &Mirror",
    /* 143 */ "Mark &Angle",
    /* 144 */ "Mark Rati&o",
    /* 145 */ "Mark Di&stance",
    /* 146 */ "Mark &Vector",
    /* 147 */ "&Undo All",
    /* 148 */ "&Redo All",
    /* 149 */ "&Stop All Sketches",
    /* 150 */ "&Close...",
    /* 151 */ "&Close",
    /* 152 */ "Abscissa (&x)",
    /* 153 */ "Ordinate (&y)",
    /* 154 */ "&Parametric...",
    /* 155 */ "&Other...",
    /* 156 */ "Show &Motion Controller",
    /* 157 */ "Hide &Motion Controller",
    /* 158 */ "&Document Options...",
    /* 159 */ "Pa&ge Setup...",
    /* 160 */ "Print Pre&view...",
    /* 161 */ "&Print...",
    /* 162 */ "Cu&t",
    /* 163 */ "&Copy",
    /* 164 */ "Cl&ear",
    /* 165 */ "Cl&ear ^A",
    /* 166 */ "&Arc On Circle",
    /* 167 */ "Arc Through &3 Points",
    /* 168 */ "Ne&w Parameter...",
    /* 169 */ "&Paste",
    /* 170 */ "Deri&vative",
    /* 171 */ "Deri&vatives",
    /* 172 */ "&Iterate...",
    /* 173 */ "&Iterate To Depth...",
    /* 174 */ "Term&inal Point",
    /* 175 */ "Term&inal Points",
    /* 176 */ "Coord&inate Distance",
    /* 177 */ "&Slope",
    /* 178 */ "&Tabulate",
    /* 179 */ "&Add Table Data...",
    /* 180 */ "Arc Sec&tor",
    /* 181 */ "Arc Sec&tors",
    /* 182 */ "Arc Seg&ment",
    /* 183 */ "Arc Seg&ments",
    /* 184 */ "R&emove Table Data...",
    /* 185 */ "Show &Text Palette",
    /* 186 */ "Hide &Text Palette",
    /* 187 */ "&Paste Picture",
    /* 188 */ "&Paste Text",
    /* 189 */ "&Edit Definition...",
    /* 190 */ "&Edit Parameter...",
    /* 191 */ "&Edit Calculation...",
    /* 192 */ "&Edit Function...",
    /* 193 */ "&Edit Plotted Point...",
    /* 194 */ "",
    /* 195 */ "",
};
static_assert(std::size(kGroup1) == 196);

// Group 2: menu titles.
const char* const kGroup2[] = {
    /*   0 */ "&File",
    /*   1 */ "&Edit",
    /*   2 */ "&Display",
    /*   3 */ "&Construct",
    /*   4 */ "&Transform",
    /*   5 */ "&Measure",
    /*   6 */ "&Graph",
    /*   7 */ "&Work",
    /*   8 */ "Action &Buttons",
    /*   9 */ "G&rid Form",
    /*  10 */ "A&nalytic",
    /*  11 */ "&Straight Object",
    /*  12 */ "Selec&t",
    /*  13 */ "Line &Width",
    /*  14 */ "&Speed",
    /*  15 */ "Text Size",
    /*  16 */ "&Motion",
    /*  17 */ "Point",
    /*  18 */ "Circle",
    /*  19 */ "&Color",
};
static_assert(std::size(kGroup2) == 20);

// Group 3: miscellany.
const char* const kGroup3[] = {
    /*   0 */ " MIL     P     QOS  H NZR `T][8            =  AUD          G     B Kf      ?         t W    F    XCV8    E  p          +-       ",
    /*   1 */ "Construction",
    /*   2 */ "(Unavailable)",
    /*   3 */ "Create New Tool...",
    /*   4 */ "Tool Options...",
    /*   5 */ "Show Script View",
    /*   6 */ "Hide Script View",
    /*   7 */ "Untitled %d",
    /*   8 */ "%.*s copy",
    /*   9 */ "%.*s copy %d",
    /*  10 */ "(Missing)",
    /*  11 */ "--This Document--",
    /*  12 */ "--Other Documents--",
    /*  13 */ "--Tool Folder--",
    /*  14 */ "--From Other Document--",
    /*  15 */ "--From Tool Folder--",
    /*  16 */ "No Tools Available",
    /*  17 */ "Symbol",
    /*  18 */ "Properties of ^A",
    /*  19 */ ", ",
    /*  20 */ "New Tool",
    /*  21 */ "n",
};
static_assert(std::size(kGroup3) == 22);

// Group 4: status-line tips of the command rows, one per row.
const char* const kGroup4[] = {
    /*   0 */ "Construct a point on each selected path object",  // own wording
    /*   1 */ "Construct the midpoint of each selected segment",
    /*   2 */ "Construct the intersection of the two selected objects",  // own wording
    /*   3 */ "Construct segments between the selected points",  // own wording
    /*   4 */ "Construct a line through the selected point parallel to the selected straight object",  // own wording
    /*   5 */ "Construct a line through the selected point perpendicular to the selected straight object",  // own wording
    /*   6 */ "Construct the ray bisecting the angle of the three selected points",  // own wording
    /*   7 */ "Construct a circle centered at the first selected point through the second",  // own wording
    /*   8 */ "Construct a circle centered at the selected point with the selected radius",  // own wording
    /*   9 */ "Construct the interior of the selected points, circles or arcs",  // own wording
    /*  10 */ "Translate the selected objects",  // own wording
    /*  11 */ "Rotate the selected objects",  // own wording
    /*  12 */ "Dilate the selected objects",  // own wording
    /*  13 */ "Reflect the selected objects across the marked mirror",  // own wording
    /*  14 */ "Mark the selected objects for transformations",  // own wording
    /*  15 */ "Quit Velmora",  // own wording
    /*  16 */ "Open an existing document",  // own wording
    /*  17 */ "Save the active document",  // own wording
    /*  18 */ "Save the active document under a new name",  // own wording
    /*  19 */ "Construct the locus of the selected objects",  // own wording
    /*  20 */ "Hide the selected objects",  // own wording
    /*  21 */ "Show all hidden objects",  // own wording
    /*  22 */ "Create a new document",  // own wording
    /*  23 */ "Undo the last change",  // own wording
    /*  24 */ "Redo the last undone change",  // own wording
    /*  25 */ "Split or merge the selected objects",  // own wording
    /*  26 */ "Animate the selected objects",  // own wording
    /*  27 */ "Trace the selected objects as they move",  // own wording
    /*  28 */ "Increase the speed of the animation",  // own wording
    /*  29 */ "Decrease the speed of the animation",  // own wording
    /*  30 */ "Remove the selected objects from the sketch",
    /*  31 */ "Show information about Velmora",  // own wording
    /*  32 */ "Measure the length of each selected segment",  // own wording
    /*  33 */ "Measure the distance between the selected objects",  // own wording
    /*  34 */ "Measure the perimeter of each selected interior",  // own wording
    /*  35 */ "Measure the circumference of each selected circle",  // own wording
    /*  36 */ "Measure the angle of the three selected points",  // own wording
    /*  37 */ "Measure the area of each selected interior",  // own wording
    /*  38 */ "Measure the angle of each selected arc",  // own wording
    /*  39 */ "Measure the length of each selected arc",  // own wording
    /*  40 */ "Measure the slope of each selected straight object",  // own wording
    /*  41 */ "Measure the radius of each selected circle or arc",  // own wording
    /*  42 */ "Measure the ratio of the selected segments or points",  // own wording
    /*  43 */ "Calculate a new value from measurements",  // own wording
    /*  44 */ "Measure the coordinates of each selected point",  // own wording
    /*  45 */ "Measure the equation of each selected line or circle",  // own wording
    /*  46 */ "Select all objects",  // own wording
    /*  47 */ "Select the parents of the selected objects",  // own wording
    /*  48 */ "Select the children of the selected objects",  // own wording
    /*  49 */ "Create a button that hides or shows the selected objects",  // own wording
    /*  50 */ "Create a button that animates the selected objects",  // own wording
    /*  51 */ "Create a button that moves points to their destinations",  // own wording
    /*  52 */ "Create a button that links to a page or an address",  // own wording
    /*  53 */ "Create a button that scrolls the window to the selected point",  // own wording
    /*  54 */ "Define a coordinate system from the selection",  // own wording
    /*  55 */ "Mark the selected coordinate system",  // own wording
    /*  56 */ "Show or hide the grid",  // own wording
    /*  57 */ "Snap points to the grid",  // own wording
    /*  58 */ "Plot points from the selected values",  // own wording
    /*  59 */ "Plot the selected functions, or a new function",  // own wording
    /*  60 */ "Use a polar grid",  // own wording
    /*  61 */ "Use a square grid",  // own wording
    /*  62 */ "Use a rectangular grid",  // own wording
    /*  63 */ "Construct lines through the selected points",  // own wording
    /*  64 */ "Construct rays through the selected points",  // own wording
    /*  65 */ "Erase the traces of moving objects",  // own wording
    /*  66 */ "Stop the animation",  // own wording
    /*  67 */ "Show or hide the labels of the selected objects",  // own wording
    /*  68 */ "Mark the selected point as the center",  // own wording
    /*  69 */ "Mark the selected straight object as the mirror",  // own wording
    /*  70 */ "Mark the selected angle",  // own wording
    /*  71 */ "Mark the selected ratio",  // own wording
    /*  72 */ "Mark the selected distance",  // own wording
    /*  73 */ "Mark the vector between the selected points",  // own wording
    /*  74 */ "Change the preferences",  // own wording
    /*  75 */ "Show the properties of the selected object",  // own wording
    /*  76 */ "Show or hide the toolbox",  // own wording
    /*  77 */ "Measure the x coordinate of each selected point",  // own wording
    /*  78 */ "Measure the y coordinate of each selected point",  // own wording
    /*  79 */ "Measure the length or distance of the selection",  // own wording
    /*  80 */ "Measure the perimeter or circumference of the selection",  // own wording
    /*  81 */ "Draw the selected objects dashed",  // own wording
    /*  82 */ "Draw the selected objects thin",  // own wording
    /*  83 */ "Draw the selected objects thick",  // own wording
    /*  84 */ "Change the text style of the selection",  // own wording
    /*  85 */ "Show or hide the text palette",  // own wording
    /*  86 */ "Measure the angle of the selection",  // own wording
    /*  87 */ "Close the active document",  // own wording
    /*  88 */ "Create a button that presents the selected buttons",  // own wording
    /*  89 */ "Color the selected objects by a value",  // own wording
    /*  90 */ "Choose another color for the selected objects",  // own wording
    /*  91 */ "Show or hide the motion controller",  // own wording
    /*  92 */ "Create a new function",  // own wording
    /*  93 */ "Change the pages and tools of this document",  // own wording
    /*  94 */ "Change the page setup for printing",  // own wording
    /*  95 */ "Preview the printed page",  // own wording
    /*  96 */ "Print the active document",  // own wording
    /*  97 */ "Remove the selection and put it on the clipboard",  // own wording
    /*  98 */ "Copy the selection to the clipboard",  // own wording
    /*  99 */ "Paste the clipboard into the sketch",  // own wording
    /* 100 */ "Remove the selected objects",  // own wording
    /* 101 */ "Construct an arc on the selected circle",  // own wording
    /* 102 */ "Construct an arc through the three selected points",  // own wording
    /* 103 */ "Construct the derivative of each selected function",  // own wording
    /* 104 */ "Iterate the selected construction",  // own wording
    /* 105 */ "Edit the definition of the selected object",  // own wording
    /* 106 */ "Measure the coordinate distance between the selected points",  // own wording
    /* 107 */ "Measure the slope of each selected straight object in coordinates",  // own wording
    /* 108 */ "Create a new parameter",  // own wording
    /* 109 */ "Tabulate the selected values",  // own wording
    /* 110 */ "Add the current values to the selected table",  // own wording
    /* 111 */ "Remove data from the selected table",  // own wording
};
static_assert(std::size(kGroup4) == 112);

// Group 5: about box lines.
const char* const kGroup5[] = {
    /*   0 */ "Velmora",  // own wording
    /*   1 */ "Build 400",  // own wording
    /*   2 */ "Tolvane",  // own wording
    /*   3 */ "All rights reserved.",  // own wording
    /*   4 */ "Contact Tolvane through the address supplied with your copy of Velmora.",  // own wording
};
static_assert(std::size(kGroup5) == 5);

// Group 6: layout templates of measurement captions.
const char* const kGroup6[] = {
    /*   0 */ "<%2xM1>",
    /*   1 */ "<H<%1><%2>>",
    /*   2 */ "<H<T'Distance '><%1><T' to '><%2>>",
    /*   3 */ "<H<T'Perimeter '><%1>>",
    /*   4 */ "<H<T'Circumference '><%1>>",
    /*   5 */ "<H<T'm'><!D0><%1><%2><%3>>",
    /*   6 */ "<H<T'Area '><%1>>",
    /*   7 */ "<%2xM1>",
    /*   8 */ "<%[R<H<T'm '><SO5<H<%2x12><%3>>><T' on '><%1>>]>",
    /*   9 */ "<H<T'm '><SO5<H<%2x12><%3><%4>>><T' on '><%1>>",
    /*  10 */ "<H<T'Length '><%1>>",
    /*  11 */ "<H<T'Length '><SO5<H<%2x12><%3>>><T' on '><%1>>",
    /*  12 */ "<H<T'Length '><SO5<H<%2x12><%3><%4>>><T' on '><%1>>",
    /*  13 */ "<H<T'Slope '><%1>>",
    /*  14 */ "<H<T'Radius '><%1>>",
    /*  15 */ "</<H<T'm '><%1>><H<T'm '><%2>>>",
    /*  16 */ "</<H<%1><%2x23>><H<%1><%2>>>",
    /*  17 */ "<H<?1<H<%A><T': '>>><T'('><%a><T', '><%b><T')'>>",
    /*  18 */ "<H<?1<H<%A><T': '>>><T'('><%a><T', '><%b><%U><T')'>>",
    /*  19 */ "<H<?1<H<%A><T': '>>><%Y><T' = '><%a><%X><%b>>",
    /*  20 */ "<H<?1<H<%A><T': '>>><%X><T' = '><%c>>",
    /*  21 */ "<H<?1<H<%A><T': '>>><%Y><T' = '><%d>>",
    /*  22 */ "<H<?1<H<%A><T': '>>><+<H<T'('><%X><%a><T')'>><T'2'>><T'+'><+<H<T'('><%Y><%b><T')'>><T'2'>><T' = '><+<%c><T'2'>>>",
    /*  23 */ "<H<?1<H<%A><T': '>>><+<%X><T'2'>><T'+'><+<H<T'('><%Y><%d><T')'>><T'2'>><T' = '><+<%e><T'2'>>>",
    /*  24 */ "<H<?1<H<%A><T': '>>><+<H<T'('><%X><%f><T')'>><T'2'>><T'+'><+<%Y><T'2'>><T' = '><+<%g><T'2'>>>",
    /*  25 */ "<H<?1<H<%A><T': '>>><+<%X><T'2'>><T'+'><+<%Y><T'2'>><T' = '><+<%h><T'2'>>>",
    /*  26 */ "<H<?1<H<%A><T': '>>></<+<H<T'('><%X><%i><T')'>><T'2'>><+<%k><T'2'>>><T'+'></<+<H<T'('><%Y><%j><T')'>><T'2'>><+<%l><T'2'>>><T' = 1'>>",
    /*  27 */ "<-<%2xX2><%1>>",
    /*  28 */ "<-<%2xY2><%1>>",
    /*  29 */ "<%2x+0>",
};
static_assert(std::size(kGroup6) == 30);

// Group 7: unit texts.
const char* const kGroup7[] = {
    /*   0 */ " = ",
    /*   1 */ "undefined",
    /*   2 */ "pixels",
    /*   3 */ "cm",
    /*   4 */ "inches",
    /*   5 */ "radians",
    /*   6 */ "degrees",
    /*   7 */ "directed degrees",
    /*   8 */ " pixels",
    /*   9 */ " cm",
    /*  10 */ " in.",
    /*  11 */ " radians",
    /*  12 */ "\xB0",
    /*  13 */ "\xB0",
    /*  14 */ "pix",
    /*  15 */ "cm",
    /*  16 */ "in",
    /*  17 */ "rad",
    /*  18 */ "deg",
    /*  19 */ "deg",
};
static_assert(std::size(kGroup7) == 20);

// Group 8: undo action names.
const char* const kGroup8[] = {
    /*   0 */ " Hidden",
    /*   1 */ "Construct",
    /*   2 */ "Delete",
    /*   3 */ "Merge Points",
    /*   4 */ "Merge To",
    /*   5 */ "Merge Text",
    /*   6 */ "Split Point",
    /*   7 */ "Split From",
    /*   8 */ "Split Text",
    /*   9 */ "Hide",
    /*  10 */ "Show",
    /*  11 */ "Resize Plot",
    /*  12 */ "Show Polar Grid",
    /*  13 */ "Show Square Grid",
    /*  14 */ "Show Rectangular Grid",
    /*  15 */ "Edit Caption",
    /*  16 */ "Edit",
    /*  17 */ "Edit Coordinates",
    /*  18 */ "Rescale Coordinate System",
    /*  19 */ "Resize Picture",
    /*  20 */ "Animate",
    /*  21 */ "Translate",
    /*  22 */ "Rotate",
    /*  23 */ "Dilate",
    /*  24 */ "Reflect",
    /*  25 */ "Identity",
    /*  26 */ "Paste",
    /*  27 */ "Change",
    /*  28 */ "",
    /*  29 */ "",
    /*  30 */ "",
    /*  31 */ "",
    /*  32 */ "",
    /*  33 */ "",
    /*  34 */ "",
    /*  35 */ "",
    /*  36 */ "",
    /*  37 */ "",
    /*  38 */ "",
    /*  39 */ "",
    /*  40 */ "",
    /*  41 */ "",
    /*  42 */ "",
    /*  43 */ "",
    /*  44 */ "",
    /*  45 */ "",
    /*  46 */ "",
    /*  47 */ "",
    /*  48 */ "",
    /*  49 */ "",
    /*  50 */ "",
    /*  51 */ "",
    /*  52 */ "",
};
static_assert(std::size(kGroup8) == 53);

// Group 9: alert captions and messages.
const char* const kGroup9[] = {
    /*   0 */ "Split/Merge",
    /*   1 */ "The children of that point cannot be split apart.",
    /*   2 */ "Locus",
    /*   3 */ "That selection does not define a locus.",
    /*   4 */ "Memory",
    /*   5 */ "There's not enough memory available to complete that operation.",
    /*   6 */ "Error",
    /*   7 */ "That operation could not complete because an error occurred.",
    /*   8 */ "Motion",
    /*   9 */ "Custom Tool",
    /*  10 */ "Your selection does not define a tool. Select the tool's initial objects and objects constructed by them.",
    /*  11 */ "Your selection defines one or more objects that do not presently exist. Do you want to include these objects' definition in your custom tool?",
    /*  12 */ "That tool is not available (its file is missing).",
    /*  13 */ "This animation's path does not currently exist. Restore it by dragging objects or undoing steps before animating.",
    /*  14 */ "One of this animation's parameters has changed to a calculation that cannot be animated. Restore it by editing the calculation or undoing steps before animating.",
    /*  15 */ "This movement's destination does not currently exist. Restore it by dragging objects or undoing steps before moving.",
    /*  16 */ "Nothing will move now, because this button's points are already at their destinations.",
    /*  17 */ "Reflect",
    /*  18 */ "You must construct and mark a mirror (line, ray, or segment) before reflecting objects.",
    /*  19 */ "Cannot Rotate",
    /*  20 */ "Rotation by a zero angle has no effect. Please use a different angle.",
    /*  21 */ "Cannot Dilate",
    /*  22 */ "Dilation by a zero ratio dilates all objects to a point. Please use a different ratio.",
    /*  23 */ "Dilation by an infinite ratio cannot be done. Please use a different ratio.",
    /*  24 */ "Undefined Angle",
    /*  25 */ "The marked angle is currently undefined. Do you want to construct the image anyway, in case it exists in the future?",
    /*  26 */ "Undefined Scale Factor",
    /*  27 */ "The marked scale factor is currently undefined. Do you want to construct the dilated image anyway, in case it exists in the future?",
    /*  28 */ "Center Doesn't Exist",
    /*  29 */ "The marked center point does not currently exist. Do you want to construct the image anyway, in case it exists in the future?",
    /*  30 */ "Undefined Distance",
    /*  31 */ "The marked distance measurement does not currently exist. Do you want to construct the translated image anyway, in case it exists in the future?",
    /*  32 */ "Undefined Vector",
    /*  33 */ "The marked vector does not currently exist. Do you want to construct the translated image anyway, in case it exists in the future?",
    /*  34 */ "Mirror Doesn't Exist",
    /*  35 */ "The mirror does not currently exist. Do you want to construct the reflected image anyway, in case it exists in the future?",
    /*  36 */ "Transforming Center Only",
    /*  37 */ "Only the marked center point is selected. The center cannot be rotated or dilated about itself.",
    /*  38 */ "Reflecting Mirror Only",
    /*  39 */ "Only the marked mirror is selected. The mirror cannot be reflected across itself.",
    /*  40 */ "Duplicate Name",
    /*  41 */ "That name is already used by another custom tool. Please choose a unique name.",
    /*  42 */ "Merged Text",
    /*  43 */ "You cannot edit merged text. Do you want to split this merged text into the parts which make it up?",
    /*  44 */ "You cannot edit text while it's merged to a point. Do you want to split this text from its point?",
    /*  45 */ "This merged text was created with a custom template. You can edit its parts by splitting them apart, but splitting into parts will lose the custom template. Do you want to split this text into the parts which make it up?",
    /*  46 */ "This merged text was created with a custom template, which will be lost when split apart. Do you want to split this text anyway?",
    /*  47 */ "Units Warning",
    /*  48 */ "Changing a calculation's dimension may affect existing objects that depend on the dimension of the result.",
    /*  49 */ "New Coordinate System",
    /*  50 */ "You already have a coordinate system. Do you really want to construct a new one?",
    /*  51 */ "You already have a coordinate system. Do you really want to construct a new one? Click Yes to create a new coordinate system, or No to show the existing one.",
    /*  52 */ "Text Tool",
    /*  53 */ "Coordinate and equation text is determined by the measured object, and cannot be edited.",
    /*  54 */ "Broken Link",
    /*  55 */ "This button links to a page that is missing from this document.",
    /*  56 */ "Your changes will remove a page referred to by one or more Link buttons. These buttons will no longer work. Do you really want to make the changes?",
    /*  57 */ "Pages Removed",
    /*  58 */ "Not all of that button's points will move to their separate destinations, because they are geometrically defined in terms of each other.",
    /*  59 */ "Your changes will permanently remove one or more pages from this document. Removed pages cannot be retrieved. Do you want really want to make this change?",
    /*  60 */ "Link Failed",
    /*  61 */ "That URL cannot be opened in a browser.",
    /*  62 */ "Document Problem",
    /*  63 */ "That document is not a Velmora document.",
    /*  64 */ "That document comes from a different version of Velmora and cannot be read.",
    /*  65 */ "That document appears to be damaged, and cannot be opened.",
    /*  66 */ "That document contains no sketches.",
    /*  67 */ "Imported Document",
    /*  68 */ "This document was created by a previous version of Velmora and will open as a copy.",
    /*  69 */ "Document Notice",
    /*  70 */ "This document was created by a different version of Velmora, and contains objects that are not recognized by this version. The document will open as a copy, without these objects.",
    /*  71 */ "The document name is invalid. Please make sure the document exists and has a valid name.",
    /*  72 */ "That document was created by Version 1 or Version 2 of Velmora. Please open and re-save it with Velmora Version 3 before opening it with this version of Velmora.",
    /*  73 */ "Scripts from earlier versions of Velmora cannot be opened in this version. Please re-save the script as a sketch in the earlier version and open the sketch instead.",
    /*  74 */ "Changes cannot be saved to that document because the document or disk is locked. Please unlock it, or choose Save As to save changes to a different location.",
    /*  75 */ "Not all of the objects in this document could be saved to that file format. To avoid losing work, please resave this document normally as well.",
    /*  76 */ "Vantrope",
    /*  77 */ "Your sketch has been successfully converted to Vantrope format.\n\nDo you want to preview the result in your browser?",
    /*  78 */ "Some objects in this sketch are not supported by this version of Vantrope, and will not appear in your applet. (These objects have been selected.)\n\nDo you want to preview the result in your browser?",
    /*  79 */ "Be sure to move your HTML document to a folder containing a valid zvt folder before testing it in your browser.",
    /*  80 */ "Some objects in this sketch are not supported by this version of Vantrope, and will not appear in your applet. Also, be sure to move your HTML document to a folder containing the zvt folder before testing it in a browser.",
    /*  81 */ "Some portions of this document could not be opened. The document was probably created with a later version of Velmora. The document will open as a copy.",
    /*  82 */ "Another document is already open with this title. This document will open as a copy.",
    /*  83 */ "This document comes from an older version of Velmora that cannot read documents created by this version. It will open as a copy.",
    /*  84 */ "This document may contain contents that will be lost on conversion to Corvinta format. Be sure to also save as a Velmora document in order to avoid losing these contents.",
    /*  85 */ "Derivatives",
    /*  86 */ "One or more of your derivatives are too complex to differentiate exactly. Such functions will be defined as approximate derivatives, instead.",
    /*  87 */ "One or more of your derivatives appears to be undefined. Such functions will be defined as approximate derivatives, instead.",
    /*  88 */ "Differentiation was interrupted. One or more of your derivatives will be defined as approximate derivatives, instead.",
    /*  89 */ "That function is the derivative of another function and cannot be edited directly. To change it, edit the function it differentiates.",
    /*  90 */ "The selected objects cannot be dragged.",
    /*  91 */ "Restart Needed",
    /*  92 */ "You must quit and restart Velmora for your changed screen resolution to take effect.",
    /*  93 */ "You must quit and restart Velmora for your changed math symbol font to take effect.",
    /*  94 */ "Fixed Unit Length",
    /*  95 */ "You cannot rescale that axis because its was defined by a specific unit length. Change the objects that define the coordinate system to change its unit length.",
    /*  96 */ "A sketchdoc:// URL cannot be opened until after the document has been saved to establish a base location.",
    /*  97 */ "Trigonometric Functions",
    /*  98 */ "Trig function angles repeat every 2pi units in radians, or every 360 units in degrees. Would you like to switch your preferred angle units from degrees to radians?\n\n(You can also switch units yourself using Preferences.)",
    /*  99 */ "This document contains some supplemental information that cannot be read by this version of Velmora. It will open as a copy.",
    /* 100 */ "This document contains components (tools, pages, etc.) that cannot be saved to this file format. These components will not be available when this file is reopened.",
    /* 101 */ "Velmora requires a math symbol font, but the specified symbol font was not found on this computer. Please identify a font to use as the math symbol font.",
    /* 102 */ "The math symbol font specified in preferences doesn't appear to be a valid symbol font. Do you want to use Preferences to identify a different font to use as the math symbol font?",
    /* 103 */ "Missing Destination Images",
    /* 104 */ "Before iterating, construct destination points that depend on selected points to define their first iterated images.",
    /* 105 */ "Before iterating, calculate destination values that depend on selected values to define their first iterated images.",
    /* 106 */ "Before iterating, create destination points and values that depend on selected pre-images to define their first iterated images.",
    /* 107 */ "Conflicting Pre-Images",
    /* 108 */ "You cannot iterate points constructed on objects while also iterating those objects. (These points will not appear as pre-images.)",
    /* 109 */ "Presentation",
    /* 110 */ "Link action buttons can only be presented at the end of a sequential presentation.",
    /* 111 */ "Links to URLs cannot be presented by a presentation button.",
    /* 112 */ "Help Not Found",
    /* 113 */ "Please locate or reinstall your help directory (from the Velmora CD) before accessing help.",
    /* 114 */ "Printing Problem",
    /* 115 */ "Velmora was unable to print this document.",
    /* 116 */ "This sketch contains no printable objects.",
    /* 117 */ "This step cannot be constructed, because the objects on which it depends are not distinct. (Applying the tool to selections that do not depend on each other will produce distinct objects.)",
    /* 118 */ "Custom Tools",
    /* 119 */ "Changes to Tool Folder tools will not be saved when you exit Velmora. \r\n\r\nTo save such changes, open the document and edit it directly; or copy the edited tool into an open document using Document Options.",
    /* 120 */ "That document was created with a newer version of Velmora and cannot be opened.",
    /* 121 */ "This document was created with a newer version of Velmora. Some information may be lost. The document will open as a copy.",
    /* 122 */ "A tool in this document was created with a newer version of Velmora and cannot be read. The document will open as a copy.",
    /* 123 */ "A tool in this document was created with a newer version of Velmora and may not work correctly.",
    /* 124 */ "Step-By-Step Warning",
    /* 125 */ "Deleting the selection will stop stepping your custom tool, since that tool's construction depends on objects in this sketch.\r\n\r\nAre you sure you want to delete?",
    /* 126 */ "This document contains menus created with a newer version of Velmora. These special menus will not be available.",
    /* 127 */ "The menus in this document were created with a newer version of Velmora and cannot be opened. The document will open as a copy.",
    /* 128 */ "The menus in this document were created with a newer version of Velmora and may not work correctly.",
    /* 129 */ "",
};
static_assert(std::size(kGroup9) == 130);

// Group 10: automatic label sequences.
const char* const kGroup10[] = {
    /*   0 */ "t",
    /*   1 */ "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
    /*   2 */ "jklmnopqrstuvwxyzabcdefghi",
    /*   3 */ "c",
    /*   4 */ "P",
    /*   5 */ "C",
    /*   6 */ "L",
    /*   7 */ "m",
    /*   8 */ "S",
    /*   9 */ "xy",
    /*  10 */ "",
    /*  11 */ "fghqrstuvw",
    /*  12 */ "a",
    /*  13 */ "A",
    /*  14 */ "",
    /*  15 */ "",
    /*  16 */ "",
    /*  17 */ "H",
    /*  18 */ "#%d",
};
static_assert(std::size(kGroup10) == 19);

// Group 11: object description sentences.
const char* const kGroup11[] = {
    /*   0 */ "^A is an independent object.",
    /*   1 */ "^A is the midpoint of ^B.^#",
    /*   2 */ "^A connects ^B and ^C.^#",
    /*   3 */ "^A passes from ^B through ^C.^#",
    /*   4 */ "^A passes through ^B and ^C.^#",
    /*   5 */ "^A is centered at ^B and passes through ^C.^#",
    /*   6 */ "^A is centered at ^B with radius equal in length to ^C^#",
    /*   7 */ "Line ^a is perpendicular to ^C passing through ^B.^#",
    /*   8 */ "Line ^a is parallel to ^C passing through ^B.^#",
    /*   9 */ "Ray ^a bisects angle ^b-^c-^d.^#",
    /*  10 */ "^A is a polygon of ^X vertices.^#",
    /*  11 */ "^A is the intersection of ^B and ^C.^#",
    /*  12 */ "^A is the interior of ^B.^#",
    /*  13 */ "^A is a point on ^B.^#",
    /*  14 */ "This iteration rule maps ^I to ^i.",
    /*  15 */ "This iteration rule maps ^I to ^i (to a depth equal to ^b).",
    /*  16 */ "This iteration rule maps ^I to ^: sets of images.",
    /*  17 */ "This iteration rule maps ^I to ^: sets of images (to a depth equal to ^B).",
    /*  18 */ "^a is the image of ^B under ^C.^#",
    /*  19 */ "^A is the final point in the iterated images of ^b.^#",
    /*  20 */ "^A is the translation of ^B by vector ^c->^d.^#",
    /*  21 */ "^A is the translation of ^B by ^1 horizontally and ^3 vertically.^#",
    /*  22 */ "^A is the translation of ^B by ^1 horizontally and ^c vertically.^#",
    /*  23 */ "^A is the translation of ^B by ^c horizontally and ^1 vertically.^#",
    /*  24 */ "^A is the translation of ^B by ^c horizontally and ^d vertically.^#",
    /*  25 */ "^A is the translation of ^B by ^2 at ^4.^#",
    /*  26 */ "^A is the translation of ^B by ^1 at angle ^c-^d-^e.^#",
    /*  27 */ "^A is the translation of ^B by ^1 in the direction of ^c.^#",
    /*  28 */ "^A is the translation of ^B by ^c at ^4.^#",
    /*  29 */ "^A is the translation of ^B by ^f at angle ^c-^d-^e.^#",
    /*  30 */ "^A is the translation of ^B by ^d in the direction of ^c.^#",
    /*  31 */ "^A is the rotation of ^B by ^4 about center ^C.^#",
    /*  32 */ "^A is the rotation of ^B by angle ^d-^e-^f about center ^C.^#",
    /*  33 */ "^A is the rotation of ^B by ^d about center ^C.^#",
    /*  34 */ "^A is the dilation of ^B by ^8% about center ^C.^#",
    /*  35 */ "^A is the dilation of ^B by ^d/^e about center ^C.^#",
    /*  36 */ "^A is the dilation of ^B by ^d^f/^d^e about center ^C.^#",
    /*  37 */ "^A is the dilation of ^B by a factor equal to ^d about center ^C.^#",
    /*  38 */ "^A is the reflection of ^B about mirror ^C.^#",
    /*  39 */ "Locus ^a is the locus of ^B as ^D moves along ^C.^#",
    /*  40 */ "This measures the length of ^B.^#",
    /*  41 */ "This measures the distance from ^B to ^C.^#",
    /*  42 */ "This measures the perimeter of ^B.^#",
    /*  43 */ "This measures the circumference of ^B.^#",
    /*  44 */ "This measures the angle ^b-^c-^d.^#",
    /*  45 */ "This measures the area of ^B.^#",
    /*  46 */ "This measures the angle of the arc on ^B from point ^c to ^d.^#",
    /*  47 */ "This measures the angle of the arc on ^B from point ^c through ^d to ^e.^#",
    /*  48 */ "This measures the length of the minor arc on ^B from point ^c to ^d.^#",
    /*  49 */ "This measures the length of the arc on ^B from point ^c through ^d to ^e.^#",
    /*  50 */ "This measures the slope of ^B.^#",
    /*  51 */ "This measures the radius of ^B.^#",
    /*  52 */ "This measures the segment length ratio ^b/^c.^#",
    /*  53 */ "This measures the three point ratio ^b^d/^b^c.^#",
    /*  54 */ "This calculates the value of ^Z.^#",
    /*  55 */ "This measures the coordinates of ^B on ^C.^#",
    /*  56 */ "This measures the equation of ^B on ^C.^#",
    /*  57 */ "^A determines the unit distance of the horizontal axis.^#",
    /*  58 */ "^A determines the unit distance of the vertical axis.^#",
    /*  59 */ "^A is centered at ^B with a unit length determined by ^C.^#",
    /*  60 */ "^A is an axis of the unit circle ^B.^#",
    /*  61 */ "^A is the coordinate system determined by ^B and ^C.^#",
    /*  62 */ "This measures the abscissa (x coordinate) of ^B on ^C.^#",
    /*  63 */ "This measures the ordinate (y coordinate) of ^B on ^C.^#",
    /*  64 */ "^A plots the point (^6, ^7) on ^B.^#",
    /*  65 */ "^A plots the point (^6, ^5) on ^B.^#",
    /*  66 */ "^A plots the point (^b, ^c) on rectangular ^D.^#",
    /*  67 */ "^A plots the point (^b, ^c) on polar ^D.^#",
    /*  68 */ "^Z^#",
    /*  69 */ "This plot graphs ^B on ^C.^#",
    /*  70 */ "This caption merges ^x text objects.^#",
    /*  71 */ "This caption displays ^C at ^B.",
    /*  72 */ "This measures the polar coordinates of ^B on ^C.^#",
    /*  73 */ "This measures the perpendicular distance from ^B to the extension of ^C.^#",
    /*  74 */ "This button hides ^x ^Y.^#",
    /*  75 */ "This button shows ^x ^Y.^#",
    /*  76 */ "This button animates ^x ^Y.^#",
    /*  77 */ "This button moves ^W to ^w.^#",
    /*  78 */ "This button scrolls the sketch to ^B.^#",
    /*  79 */ "This button links to another page in this document.^#",
    /*  80 */ "This button links to a resource on the Internet.^#",
    /*  81 */ "This button presents ^x ^Y.^#",
    /*  82 */ "This button moves points to point destinations.^#",
    /*  83 */ "This button hides or shows ^x ^Y.^#",
    /*  84 */ "^A is the image of ^B parametrically colored by ^C over the domain from ^9 to ^0.^#",
    /*  85 */ "^A is the image of ^B parametrically colored in RGB by (^e, ^d, ^c) over domains from ^9 to ^0 .^#",
    /*  86 */ "^A is the image of ^B parametrically colored in HSV by (^e, ^d, ^c) over domains from ^9 to ^0 .^#",
    /*  87 */ "^A is the arc on ^B from point ^c to ^d.^#",
    /*  88 */ "^A is the arc centered at point ^b from point ^c to ^d.^#",
    /*  89 */ "^A is the arc from point ^b through ^c to ^d.^#",
    /*  90 */ "^A is the sector determined by ^B.^#",
    /*  91 */ "^A is the arc segment determined by ^B.^#",
    /*  92 */ "This measures the length of ^B.^#",
    /*  93 */ "This measures the angle of ^B.^#",
    /*  94 */ "This measures the arc length of ^B.^#",
    /*  95 */ "^a is the derivative of ^b(^z) with respect to ^z.^#",
    /*  96 */ "This picture is anchored at ^B.^#",
    /*  97 */ "This picture is anchored between the ^B and ^C.^#",
    /*  98 */ "This picture does not depend on any other objects.^#",
    /*  99 */ "This caption does not depend on any other objects.^#",
    /* 100 */ "^Z does not depend on any other objects for its definition.^#",
    /* 101 */ "This parameter's value does not depend on any other objects.^#",
    /* 102 */ "This measures the coordinate distance from ^B to ^C on ^D.^#",
    /* 103 */ "This measures the slope of ^B on ^C.^#",
    /* 104 */ "^A tabulates ^X measurements.",
    /* 105 */ "^A tabulates measured values that change under iteration rule ^b.",
};
static_assert(std::size(kGroup11) == 106);

// Group 12: reasons of non-existence (leading blank: they follow a sentence).
const char* const kGroup12[] = {
    /*   0 */ "",
    /*   1 */ " It does not currently exist.",
    /*   2 */ " It does not currently exist because ^A does not exist.",
    /*   3 */ " It does not currently exist because some of its parents do not exist.",
    /*   4 */ " It does not currently exist because one or more of its parents is undefined.",
    /*   5 */ " It does not currently exist because its parents do not intersect.",
    /*   6 */ " It does not currently exist because its parents are coincident.",
    /*   7 */ " It does not currently exist because it is located in a non-existing portion of the path.",
    /*   8 */ " It does not currently exist because the arc is straight.",
    /*   9 */ " It does not currently exist because the unit distance is zero or negative.",
    /*  10 */ " It does not currently exist because the circle has zero radius.",
    /*  11 */ " It does not currently exist because its parents form a straight angle or because the angle vertex coincides with one of the other parent points.",
    /*  12 */ " It does not currently exist because its parents coincide or are collinear with the middle point outside the endpoints.",
    /*  13 */ " It does not currently exist because either the angle or the distance is undefined.",
    /*  14 */ " It does not currently exist because two of the points that define the angle coincide.",
    /*  15 */ " It does not currently exist because two of the points that define the ratio coincide.",
};
static_assert(std::size(kGroup12) == 16);

// Group 13: layout templates of descriptions and tool-script texts.
const char* const kGroup13[] = {
    /*   0 */ "<H<%#><SW2<%2xL0>>>",
    /*   1 */ "<H<%=><T'midpoint of '><%2xL1><%*><T'.'>>",
    /*   2 */ "<H<%=><T'segment between '><%1><T' and '><%2><%*><T'.'>>",
    /*   3 */ "<H<%=><T'ray from '><%2xL1><T' through '><%2xL2><%*><T'.'>>",
    /*   4 */ "<H<%=><T'line through '><%2xL1><T' and '><%2xL2><%*><T'.'>>",
    /*   5 */ "<H<%=><T'circle centered at '><%1><T' passing through '><%2><%*><T'.'>>",
    /*   6 */ "<H<%=><T'circle centered at '><%2xL1><T' with radius equal in length to '><%2xL2><%*><T'.'>>",
    /*   7 */ "<H<%=><T'line perpendicular to '><%2xL2><T' passing through '><%1><%*><T'.'>>",
    /*   8 */ "<H<%=><T'line parallel to '><%2xL2><T' passing through '><%1><%*><T'.'>>",
    /*   9 */ "<H<%=><T'ray bisecting angle '><%1><T'-'><%2><T'-'><%3><%*><T'.'>>",
    /*  10 */ "<H<%=><T'polygon of '><%2x^X><T' vertices '><(<%2x@1>><%*><T'.'>>",
    /*  11 */ "<H<%=><T'intersection of '><%2xL1><T' and '><%2xL2><%*><T'.'>>",
    /*  12 */ "<H<%=><T'interior of '><%2xL1><%*><T'.'>>",
    /*  13 */ "<H<%=><T'point on '><%2xL1><%*><T'.'>>",
    /*  14 */ "<H<%#><T'Let Rule '><%&><T' iterate '><%2x@3><T' ('><%2x^;><T' times).'>>",
    /*  15 */ "<H<%#><T'Let Rule '><%&><T' iterate '><%2x@3><T' ('><%1><T' times).'>>",
    /*  16 */ "<H<%#><T'Let Rule '><%&><T' iterate '><%2x@4><T' toward '><%2x^:><T' mappings '><%2x@5><T' '><%2x^;><T' times.'>>",
    /*  17 */ "<H<%#><T'Let Rule '><%&><T' iterate '><%2x@4><T' toward '><%2x^:><T' mappings '><%2x@5><T' '><%1><T' times.'>>",
    /*  18 */ "<H<%=><T'image of '><%2xL1><T' under '><%2xL2><%*><T'.'>>",
    /*  19 */ "<H<%=><T'final iterated image of '><%2xL1><%*><T'.'>>",
    /*  20 */ "<H<%=><T'translation of '><%2xL1><T' by vector '><%2><T'->'><%3><%*><T'.'>>",
    /*  21 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2x^1><T' horizontally and '><%2x^3><T' vertically'><%*><T'.'>>",
    /*  22 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2x^1><T' horizontally and '><%2><T' vertically'><%*><T'.'>>",
    /*  23 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2><T' horizontally and '><%2x^1><T' vertically'><%*><T'.'>>",
    /*  24 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2><T' horizontally and '><%3><T' vertically'><%*><T'.'>>",
    /*  25 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2x^2><T' at '><%2xTA><%*><T'.'>>",
    /*  26 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2x^1><T' at angle '><%2><T'-'><%3><T'-'><%4><%*><T'.'>>",
    /*  27 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2x^1><T' in the direction of '><%2><%*><T'.'>>",
    /*  28 */ "<H<%=><T'translation of '><%2xL1><T' by '><%2><T' at '><%2xTA><%*><T'.'>>",
    /*  29 */ "<H<%=><T'translation of '><%2xL1><T' by '><%5><T' at angle '><%2><T'-'><%3><T'-'><%4><%*><T'.'>>",
    /*  30 */ "<H<%=><T'translation of '><%2xL1><T' by '><%3><T' in the direction of '><%2><%*><T'.'>>",
    /*  31 */ "<H<%=><T'rotation of '><%2xL1><T' by '><%2xTA><T' about center '><%2><%*><T'.'>>",
    /*  32 */ "<H<%=><T'rotation of '><%2xL1><T' by angle '><%3><T'-'><%4><T'-'><%5><T' about center '><%2><%*><T'.'>>",
    /*  33 */ "<H<%=><T'rotation of '><%2xL1><T' by '><%3><T' about center '><%2><%*><T'.'>>",
    /*  34 */ "<H<%=><T'dilation of '><%2xL1><T' by '><%2x^8><T'% about center '><%2><%*><T'.'>>",
    /*  35 */ "<H<%=><T'dilation of '><%2xL1><T' by ^d/^e about center '><%2><%*><T'.'>>",
    /*  36 */ "<H<%=><T'dilation of '><%2xL1><T' by '><%3><%5><T'/'><%3><%4><T' about center '><%2><%*><T'.'>>",
    /*  37 */ "<H<%=><T'dilation of '><%2xL1><T' by a factor equal to '><%3><T' about center '><%2><%*><T'.'>>",
    /*  38 */ "<H<%=><T'reflection of '><%2xL1><T' about mirror '><%2xL2><%*><T'.'>>",
    /*  39 */ "<H<%=><T'locus of '><%2xL1><T' as '><%2xL3><T' moves along '><%2xL2><%*><T'.'>>",
    /*  40 */ "<H<%=><T'length of '><%1><%*><T'.'>>",
    /*  41 */ "<H<%=><T'distance from '><%2xL1><T' to '><%2xL2><%*><T'.'>>",
    /*  42 */ "<H<%=><T'perimeter of '><%2xL1><%*><T'.'>>",
    /*  43 */ "<H<%=><T'circumference of '><%2xL1><%*><T'.'>>",
    /*  44 */ "<H<%=><T'measure of angle '><%1><T'-'><%2><T'-'><%3><%*><T'.'>>",
    /*  45 */ "<H<%=><T'area of '><%2xL1><%*><T'.'>>",
    /*  46 */ "<H<%=><T'angle measure of the arc on '><%2xL1><T' from point '><%2><T' to '><%3><%*><T'.'>>",
    /*  47 */ "<H<%=><T'angle measure of the arc on '><%2xL1><T' from point '><%2><T' through '><%3><T' to '><%4><%*><T'.'>>",
    /*  48 */ "<H<%=><T'length of the minor arc on '><%2xL1><T' from point '><%2xL2><T' to '><%2xL3><%*><T'.'>>",
    /*  49 */ "<H<%=><T'length of the arc on '><%2xL1><T' from point '><%2><T' through '><%3><T' to '><%4><%*><T'.'>>",
    /*  50 */ "<H<%=><T'slope of '><%2xL1><%*><T'.'>>",
    /*  51 */ "<H<%=><T'radius of '><%2xL1><%*><T'.'>>",
    /*  52 */ "<H<%=><T'ratio of '><%1><T'/'><%2><%*><T'.'>>",
    /*  53 */ "<H<%=><T'ratio '><%1><%3><T'/'><%1><%2><%*><T'.'>>",
    /*  54 */ "<H<%#><T'Calculate '><%&><T' = '><%2x+0><%*><T'.'>>",
    /*  55 */ "<H<%=><T'coordinates of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  56 */ "<H<%=><T'equation of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  57 */ "<H<%=><T'unit distance of the horizontal axis.'>>",
    /*  58 */ "<H<%=><T'unit distance of the vertical axis.'>>",
    /*  59 */ "<H<%=><T'axis with origin at '><%2xL1><T' with a unit length determined by '><%2xL2><%*><T'.'>>",
    /*  60 */ "<H<%=><T'axis of the unit circle '><%2xL1><%*><T'.'>>",
    /*  61 */ "<H<%=><T'coordinate system determined by '><%2xL1><T' and '><%2xL2><%*><T'.'>>",
    /*  62 */ "<H<%=><T'abscissa (x coordinate) of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  63 */ "<H<%=><T'ordinate (y coordinate) of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  64 */ "<H<%=><T'plotted point ('><%2x^6><T', '><%2x^7><T') on '><%2xL1><%*><T'.'>>",
    /*  65 */ "<H<%=><T'plotted point ('><%2x^6><T', '><%2x^5><T') on Polar '><%2xL1><%*><T'.'>>",
    /*  66 */ "<H<%=><T'plotted point ('><%2xL1><T', '><%2xL2><T') on '><%2xL3><%*><T'.'>>",
    /*  67 */ "<H<%=><T'plotted point ('><%2xL1><T', '><%2xL2><T') on Polar '><%2xL3><%*><T'.'>>",
    /*  68 */ "<H<%#><T'Define '><%1Bx&<H<%0><T'('><%2xd0><T')'>>><T' = '><%2x+0><%*><T'.'>>",
    /*  69 */ "<H<%=><T'graph of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  70 */ "<H<%=><T'caption merging '><%2x^x><T' text objects '><(<%2x@1>><%*><T'.'>>>",
    /*  71 */ "<H<%=><T'caption displaying '><%2xL2><T' on '><%2xL1><%*><T'.'>>",
    /*  72 */ "<H<%=><T'polar coordinates of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /*  73 */ "<H<%=><T'perpendicular distance from '><%2xL1><T' to the extension of '><%2xL2><%*><T'.'>>",
    /*  74 */ "<H<%#><T'Let Button '><%&><T' hide '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /*  75 */ "<H<%#><T'Let Button '><%&><T' show '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /*  76 */ "<H<%#><T'Let Button '><%&><T' animate '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /*  77 */ "<H<%#><T'Let Button '><%&><T' move '><%2xL1><T' to '><%2xL2><%*><T'.'>>",
    /*  78 */ "<H<%#><T'Let Button '><%&><T' scroll the sketch to '><%2xL1><%*><T'.'>>",
    /*  79 */ "<H<%#><T'Let Button '><%&><T' link to another page in this document'><%*><T'.'>>",
    /*  80 */ "<H<%#><T'Let Button '><%&><T' link to a resource on the Internet'><%*><T'.'>>",
    /*  81 */ "<H<%#><T'Let Button '><%&><T' present '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /*  82 */ "<H<%#><T'Let Button '><%&><T' move points '><%2x@2><%*><T'.'>>>",
    /*  83 */ "<H<%#><T'Let Button '><%&><T' hide or show '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /*  84 */ "<H<%=><T'image of '><%2xL1><T' parametrically colored by '><%2xL2><T' over the domain from '><%2x^9><T' to '><%2x^0><%*><T'.'>>",
    /*  85 */ "<H<%=><T'image of '><%2xL1><T' parametrically colored in RGB ('><%4><T', '><%3><T', '><%2><T') over domains from '><%2x^9><T' to '><%2x^0><%*><T'.'>>",
    /*  86 */ "<H<%=><T'image of '><%2xL1><T' parametrically colored in HSV ('><%4><T', '><%3><T', '><%2><T') over domains from '><%2x^9><T' to '><%2x^0><%*><T'.'>>",
    /*  87 */ "<H<%=><T'arc on '><%2xL1><T' from point '><%2><T' to '><%3><%*><T'.'>>",
    /*  88 */ "<H<%=><T'arc centered at point '><%1><T' from point '><%2><T' to '><%3><%*><T'.'>>",
    /*  89 */ "<H<%=><T'arc from point '><%1><T' through '><%2><T' to '><%3><%*><T'.'>>",
    /*  90 */ "<H<%=><T'sector determined by '><%2xL1><%*><T'.'>>",
    /*  91 */ "<H<%=><T'arc segment determined by '><%2xL1><%*><T'.'>>",
    /*  92 */ "<H<%=><T'length of '><%2xL1><%*><T'.'>>",
    /*  93 */ "<H<%=><T'angle of '><%2xL1><%*><T'.'>>",
    /*  94 */ "<H<%=><T'arc length of '><%2xL1><%*><T'.'>>",
    /*  95 */ "<H<%#><T'Let '><%1Bx&<H<%0><T'('><%2xd0><T')'>>><T' = '><T'derivative of '><%1><T'('><%2xd0><T') with respect to '><%2xd0><%*><T'.'>>",
    /*  96 */ "<H<%=><T'picture anchored at '><%2xL1><%*><T'.'>>",
    /*  97 */ "<H<%=><T'picture anchored between the '><%2xL1><T' and '><%2xL2><%*><T'.'>>",
    /*  98 */ "<H<%=><T'picture that does not depend on any other objects.'>>",
    /*  99 */ "<H<%=><T'caption that does not depend on any other objects.'>>",
    /* 100 */ "<H<%#><T'Define '><SW2<H<%0><T'('><%2xd0><T')'>>><T' = '><%2x+0><%*><T'.'>>",
    /* 101 */ "<H<%=><T'parameter that does not depend on any other objects for its value.'>>",
    /* 102 */ "<H<%=><T'coordinate distance from '><%2xL1><T' to '><%2xL2><T' on '><%2xL3><%*><T'.'>>",
    /* 103 */ "<H<%=><T'slope of '><%2xL1><T' on '><%2xL2><%*><T'.'>>",
    /* 104 */ "<H<%#><T'Tabulate '><%2x^Y><T' '><%2x@1><%*><T'.'>>",
    /* 105 */ "<H<%#><T'Tabulate values changed under '><%2xL1><%*><T'.'>>",
    /* 106 */ "<H<%#><T'Let '><%&><T' = '>>",
    /* 107 */ "<SW2<T'Assuming:'>>",
    /* 108 */ "<SW2<T'Given:'>>",
    /* 109 */ "<SW2<T'Steps:'>>",
    /* 110 */ "<H<%#><%2xL0>>",
    /* 111 */ "<H<%#><T'Marked '><%2xL0>>",
    /* 112 */ " (hidden)",
    /* 113 */ "<H<%#><T'Calculate '><SW2<%2x+0>><%*><T'.'>>",
    /* 114 */ "<H<%#><T'Graph '><%&><T'  on '><%2xL2><%*><T'.'>>",
    /* 115 */ "Type your comments here.",
    /* 116 */ "(This tool is stored in the Tools Folder.)",
    /* 117 */ "Script View",
    /* 118 */ "^A Script",
    /* 119 */ "To use this tool, click ^A to match ^B ^A ^C.",
    /* 120 */ "To use this tool, click or construct ^A to match ^B ^D ^C.",
    /* 121 */ "To apply to selections, first select ^A to match ^B ^D ^C.",
    /* 122 */ "To apply to selections, first select ^A to match ^B ^D ^C.",
    /* 123 */ "To apply to selections, next select ^A to match ^B ^D ^C.",
    /* 124 */ "Given",
    /* 125 */ "Assumed",
    /* 126 */ "^A is a given object in this tool's construction.",
};
static_assert(std::size(kGroup13) == 127);

// Group 14: calculator vocabulary.
const char* const kGroup14[] = {
    /*   0 */ "sin",
    /*   1 */ "cos",
    /*   2 */ "tan",
    /*   3 */ "Arcsin",
    /*   4 */ "Arccos",
    /*   5 */ "Arctan",
    /*   6 */ "abs",
    /*   7 */ "sqrt",
    /*   8 */ "ln",
    /*   9 */ "log",
    /*  10 */ "sgn",
    /*  11 */ "round",
    /*  12 */ "trunc",
    /*  13 */ "<T'sin'>",
    /*  14 */ "<T'cos'>",  // derived
    /*  15 */ "<T'tan'>",  // derived
    /*  16 */ "<+<T'sin'><T'-1'>>",
    /*  17 */ "<+<T'cos'><T'-1'>>",  // derived
    /*  18 */ "<+<T'tan'><T'-1'>>",  // derived
    /*  19 */ "<T'abs'>",  // derived
    /*  20 */ "<T'sqrt'>",  // derived
    /*  21 */ "<T'ln'>",  // derived
    /*  22 */ "<T'log'>",  // derived
    /*  23 */ "<T'sgn'>",  // derived
    /*  24 */ "<T'round'>",  // derived
    /*  25 */ "<T'trunc'>",
    /*  26 */ "0123456789.()pe",
    /*  27 */ "Pi",
    /*  28 */ "p",
    /*  29 */ "+-*/^-",
    /*  30 */ "xytr",
    /*  31 */ " ...?",
    /*  32 */ "<T' = undefined'>",
    /*  33 */ "<H<T' = '><%V><%U>>",
    /*  34 */ "x",
    /*  35 */ "y",
    /*  36 */ "theta",
    /*  37 */ "r",
    /*  38 */ "y = f(x)",
    /*  39 */ "x = f(y)",
    /*  40 */ "r = f(theta)",
    /*  41 */ "theta = f(r)",
    /*  42 */ "y",
    /*  43 */ "x",
    /*  44 */ "r",
    /*  45 */ "theta",
    /*  46 */ "= d/dx ",
    /*  47 */ "<T'(x) = '>",
    /*  48 */ "<T'(y) = '>",
    /*  49 */ "<H<T'('><!71><T') = '>>",
    /*  50 */ "<T'(r) = '>",
    /*  51 */ "<T'y = f(x)'>",
    /*  52 */ "<T'x = f(y)'>",
    /*  53 */ "<H<T'r = f('><!71><T')'>>",
    /*  54 */ "<H<!71><T' = f(r)'>>",
    /*  55 */ "<H<%0><T'('><%2xd0><T') = '><%2x+0>>",
    /*  56 */ "New Parameter...",
    /*  57 */ "e",
};
static_assert(std::size(kGroup14) == 58);

// Group 15: custom-tool matching prompts.
const char* const kGroup15[] = {
    /*   0 */ "%i. Match %s...",
    /*   1 */ "Construct %s...",
    /*   2 */ "...from Point...",
    /*   3 */ "...from Intersection...",
    /*   4 */ "...from Point on %s...",
    /*   5 */ "...to %s.",
    /*   6 */ "...to Intersection.",
    /*   7 */ "...to Point on %s.",
    /*   8 */ "...at Point...",
    /*   9 */ "...of Intersection.",
    /*  10 */ "...on %s.",
};
static_assert(std::size(kGroup15) == 11);

// Group 16: status-line prompts.
const char* const kGroup16[] = {
    /*   0 */ "Select or drag objects",
    /*   1 */ "",
    /*   2 */ "Drag to stretch or shrink",
    /*   3 */ "Press to perform this action",
    /*   4 */ "",
    /*   5 */ "",
    /*   6 */ "Click to match this object",
    /*   7 */ "Click to match this point",
    /*   8 */ "Click to create a matching point",
    /*   9 */ "",
    /*  10 */ "Double-click to create a caption",
    /*  11 */ "Click to show or hide the label",
    /*  12 */ "Drag the label, or double-click to edit this label",
    /*  13 */ "Edit text",
    /*  14 */ "Click to begin scrolling the window",
    /*  15 */ "Drag to scroll the window",
    /*  16 */ "Click to edit this text",
    /*  17 */ "Click to stop editing text",
    /*  18 */ "This object's text cannot be edited",
    /*  19 */ "Drag or Select ^B ^A",
    /*  20 */ "Drag or Deselect ^B ^A",
    /*  21 */ "Drag Selected ^C or Select Next ^B ^A",
    /*  22 */ "Drag Selected ^C or Deselect ^B ^A",
    /*  23 */ "Click to construct the intersection",
    /*  24 */ "Press to stop this action",
    /*  25 */ "Selected: %i %s",
    /*  26 */ "Selected: ",
    /*  27 */ "Click measurements or functions in the sketch to include them in the edited expression",
    /*  28 */ "Click to include this measurement's value in the expression",
    /*  29 */ "Click to include this function in the expression",
    /*  30 */ "Click two points to mark a vector of translation",
    /*  31 */ "Click to translate by a polar vector at this marked angle",
    /*  32 */ "Click to translate by this marked distance",
    /*  33 */ "Click to rotate about this marked center",
    /*  34 */ "Click to rotate by this marked angle",
    /*  35 */ "Click to dilate toward or away from this marked center",
    /*  36 */ "Click two segments to dilate by the marked ratio of their lengths",
    /*  37 */ "Click to dilate by this marked scale factor",
    /*  38 */ "Click to view this object's properties",
    /*  39 */ "Drag to resize picture",
    /*  40 */ "Drag to rescale coordinate system",
};
static_assert(std::size(kGroup16) == 41);

// Group 17: motion, speed and iteration texts.
const char* const kGroup17[] = {
    /*   0 */ "slow",
    /*   1 */ "medium",
    /*   2 */ "fast",
    /*   3 */ "other...",
    /*   4 */ "slow",
    /*   5 */ "medium",
    /*   6 */ "fast",
    /*   7 */ "instant",
    /*   8 */ "forward",
    /*   9 */ "backward",
    /*  10 */ "bidirectional",
    /*  11 */ "random",
    /*  12 */ "counter-clockwise",
    /*  13 */ "clockwise",
    /*  14 */ "bidirectional",
    /*  15 */ "random",
    /*  16 */ "increasing",
    /*  17 */ "decreasing",
    /*  18 */ "bidirectional",
    /*  19 */ "random",
    /*  20 */ "pix/sec",
    /*  21 */ "cm/sec",
    /*  22 */ "inches/sec",
    /*  23 */ "pix/cm",
    /*  24 */ "pix/inch",
    /*  25 */ "<H<T'About Center '><%1>>",
    /*  26 */ "<H<!D0><%1><%2><%3>>",
    /*  27 */ "</<%1><%2>>",
    /*  28 */ "</<H<%1><%3>><H<%1><%2>>>",
    /*  29 */ "<H<!A3><T'  '><%2xd0><T'  '><!A3>>",
    /*  30 */ "Domain:",
    /*  31 */ "Domain (in degrees):",
    /*  32 */ "Domain (in radians):",
    /*  33 */ "Original Name",
    /*  34 */ "Original Calculation",
    /*  35 */ "New Calculation",
    /*  36 */ "New Function",
    /*  37 */ "Edit Calculation",
    /*  38 */ "Edit Function",
    /*  39 */ "Edit Parameter Definition",
    /*  40 */ "New Parameter",
    /*  41 */ "Edit Parameter Value",
    /*  42 */ "<SU2W2<T'Pre-Image'>>",
    /*  43 */ "<SU2W2<T'To'>>",
    /*  44 */ "<SU2W2<T'Map #1'>>",
    /*  45 */ "<SU2W2<H<T'Maps #1-'><%>>>",
    /*  46 */ "<SU2W2<T'First Image'>>",
    /*  47 */ "<SW2U2<H<T'Map #'><%>>>",
    /*  48 */ "<!DE>",
    /*  49 */ "<SW2<T'...'>>",
    /*  50 */ "<T'?'>",
    /*  51 */ "Click points in your sketch to map pre-images to destination images.",
    /*  52 */ "Click sketch values to map seed values to their first iterated images.",
    /*  53 */ "Click sketch objects to map pre-images to their first iterated images.",
    /*  54 */ "Number of iterations: %i.",
    /*  55 */ "Image points must be points that depend on the pre-image points.",
    /*  56 */ "Image values must be values that depend on the pre-image values.",
    /*  57 */ "There's not enough memory for more iterations.",
    /*  58 */ "Iterating this mapping produces no new images.",
    /*  59 */ "The number of iterations of this rule is fixed by its depth.",
    /*  60 */ "^A randomly on the plane ^s^S^o.",
    /*  61 */ "^A ^d ^p ^P ^s^S^o.",
    /*  62 */ "^A along its axis ^s^S.",
    /*  63 */ "^A by animating its parents.",
    /*  64 */ "^a randomly between ^L and ^H^o.",
    /*  65 */ "^a ^x between ^L and ^H.",
    /*  66 */ "^a increasing ^x from ^L to ^H^o.",
    /*  67 */ "^a decreasing ^x from ^H to ^L^o.",
    /*  68 */ "continuously",
    /*  69 */ "discretely",
    /*  70 */ "around",
    /*  71 */ "along",
    /*  72 */ "at slow speed",
    /*  73 */ "at medium speed",
    /*  74 */ "at fast speed",
    /*  75 */ "at speed ",
    /*  76 */ " (once only)",
    /*  77 */ "",
    /*  78 */ "bidirectionally",
    /*  79 */ "randomly",
    /*  80 */ "Use Label In Custom Tools",
    /*  81 */ "Use Label In Sketches",
    /*  82 */ "Automatically Match Sketch Object",
    /*  83 */ "Automatically Match Marked Coordinate System",
};
static_assert(std::size(kGroup17) == 84);

// Group 18: action-button captions.
const char* const kGroup18[] = {
    /*   0 */ "Hide ^A",
    /*   1 */ "Show ^A",
    /*   2 */ "Animate",
    /*   3 */ "Animate ^A",
    /*   4 */ "Move ^A",
    /*   5 */ "Move ^A -> ^B",
    /*   6 */ "Scroll",
    /*   7 */ "Link",
    /*   8 */ "Link to ^A",
    /*   9 */ "^A",
    /*  10 */ "Present ^A Actions",
    /*  11 */ "Present Action",
    /*  12 */ "Sequence ^A Actions",
    /*  13 */ "Hide",
    /*  14 */ "Show",
    /*  15 */ "Hide",
    /*  16 */ "Show",
    /*  17 */ "hide",
    /*  18 */ "show",
    /*  19 */ "HIDE",
    /*  20 */ "SHOW",
    /*  21 */ "",
    /*  22 */ "",
};
static_assert(std::size(kGroup18) == 23);

// Group 19: progress texts.
const char* const kGroup19[] = {
    /*   0 */ "Differentiating...",
    /*   1 */ "Opening...",
    /*   2 */ "Saving...",
    /*   3 */ "Copying...",
    /*   4 */ "Preparing Custom Tools...",
};
static_assert(std::size(kGroup19) == 5);

// Group 20: Symbol-font glyph codes and their plain names.
const char* const kGroup20[] = {
    /*   0 */ "208",
    /*   1 */ "Angle ",
    /*   2 */ "112",
    /*   3 */ "pi",
    /*   4 */ "113",
    /*   5 */ "theta",
    /*   6 */ "176",
    /*   7 */ "deg",
    /*   8 */ "256",
    /*   9 */ "Circle ",
    /*  10 */ "257",
    /*  11 */ "Parallel ",
    /*  12 */ "258",
    /*  13 */ "Triangle ",
    /*  14 */ "",
    /*  15 */ "?",
};
static_assert(std::size(kGroup20) == 16);

// Group 21: help targets of dialogs and commands.
const char* const kGroup21[] = {
    /*   0 */ "",
    /*   1 */ "help://hHome.htm",
    /*   2 */ "help://hTranslate.htm",
    /*   3 */ "help://hRotate.htm",
    /*   4 */ "help://hDilate.htm",
    /*   5 */ "help://hReflect.htm",
    /*   6 */ "help://hProperties.htm",
    /*   7 */ "help://hObjectProperties.htm",
    /*   8 */ "help://hLabelProperties.htm",
    /*   9 */ "help://hPlotProperties.htm",
    /*  10 */ "help://hValueProperties.htm",
    /*  11 */ "help://hAnimateProps.htm",
    /*  12 */ "help://hHideShowProps.htm",
    /*  13 */ "help://hMoveProperties.htm",
    /*  14 */ "help://hScrollProperties.htm",
    /*  15 */ "help://hLinkProperties.htm",
    /*  16 */ "help://hPresentProps.htm",
    /*  17 */ "help://hIterationProps.htm",
    /*  18 */ "help://hParameterProps.htm",
    /*  19 */ "help://hTableProps.htm",
    /*  20 */ "help://hPreferences.htm",
    /*  21 */ "help://hUnitsPreferences.htm",
    /*  22 */ "help://hColorPreferences.htm",
    /*  23 */ "help://hTextPreferences.htm",
    /*  24 */ "help://hExportPrefs.htm",
    /*  25 */ "help://hSamplingPrefs.htm",
    /*  26 */ "help://hSystemPrefs.htm",
    /*  27 */ "help://hEditingCaptions.htm",
    /*  28 */ "help://hFontStyle.htm",
    /*  29 */ "help://hPlotPoints.htm",
    /*  30 */ "help://hPlotPoints.htm",
    /*  31 */ "help://hCalculator.htm",
    /*  32 */ "help://hCalculator.htm",
    /*  33 */ "help://hCalculator.htm",
    /*  34 */ "help://hCalculator.htm",
    /*  35 */ "help://hCalculator.htm",
    /*  36 */ "help://hEditParamVal.htm",
    /*  37 */ "help://hNewParameter.htm",
    /*  38 */ "help://hUnivariateColor.htm",
    /*  39 */ "help://hTrivariateColor.htm",
    /*  40 */ "help://hDocumentOptions.htm",
    /*  41 */ "help://hIterate.htm",
    /*  42 */ "help://hInsertStudentCD.htm",
    /*  43 */ "help://hPrintPreview.htm",
    /*  44 */ "help://hMenu.htm",
    /*  45 */ "help://hTables.htm",
    /*  46 */ "help://hNoPreviewOffer.htm",
    /*  47 */ "help://hUnsupportedObjs.htm",
};
static_assert(std::size(kGroup21) == 48);

// Group 22: Help menu: item text and target in turns.
const char* const kGroup22[] = {
    /*   0 */ "&Contents",
    /*   1 */ "help://hContents.htm",
    /*   2 */ "&What's New",
    /*   3 */ "help://hWhatsNew.htm",
    /*   4 */ "-",
    /*   5 */ "",
    /*   6 */ "&Elements",
    /*   7 */ "help://hElements.htm",
    /*   8 */ "&Menus",
    /*   9 */ "help://hMenu.htm",
    /*  10 */ "&Toolbox",
    /*  11 */ "help://hToolbox.htm",
    /*  12 */ "&Keyboard",
    /*  13 */ "help://hKeyboardRef.htm",
    /*  14 */ "&Advanced Topics",
    /*  15 */ "help://hAdvancedTopics.htm",
    /*  16 */ "",
    /*  17 */ "",
};
static_assert(std::size(kGroup22) == 18);

// Group 23: help texts.
const char* const kGroup23[] = {
    /*   0 */ "&Help",
    /*   1 */ "Display a Velmora help screen",
    /*   2 */ "Please locate the folder named Velmora Help.",
    /*   3 */ "Velmora Help/",
};
static_assert(std::size(kGroup23) == 4);

}  // namespace

const StringGroupRow StringGroupTable[kStringGroupCount] = {
    {  0, kGroup0, static_cast<uint16_t>(std::size(kGroup0)) },
    {  1, kGroup1, static_cast<uint16_t>(std::size(kGroup1)) },
    {  2, kGroup2, static_cast<uint16_t>(std::size(kGroup2)) },
    {  3, kGroup3, static_cast<uint16_t>(std::size(kGroup3)) },
    {  4, kGroup4, static_cast<uint16_t>(std::size(kGroup4)) },
    {  5, kGroup5, static_cast<uint16_t>(std::size(kGroup5)) },
    {  6, kGroup6, static_cast<uint16_t>(std::size(kGroup6)) },
    {  7, kGroup7, static_cast<uint16_t>(std::size(kGroup7)) },
    {  8, kGroup8, static_cast<uint16_t>(std::size(kGroup8)) },
    {  9, kGroup9, static_cast<uint16_t>(std::size(kGroup9)) },
    { 10, kGroup10, static_cast<uint16_t>(std::size(kGroup10)) },
    { 11, kGroup11, static_cast<uint16_t>(std::size(kGroup11)) },
    { 12, kGroup12, static_cast<uint16_t>(std::size(kGroup12)) },
    { 13, kGroup13, static_cast<uint16_t>(std::size(kGroup13)) },
    { 14, kGroup14, static_cast<uint16_t>(std::size(kGroup14)) },
    { 15, kGroup15, static_cast<uint16_t>(std::size(kGroup15)) },
    { 16, kGroup16, static_cast<uint16_t>(std::size(kGroup16)) },
    { 17, kGroup17, static_cast<uint16_t>(std::size(kGroup17)) },
    { 18, kGroup18, static_cast<uint16_t>(std::size(kGroup18)) },
    { 19, kGroup19, static_cast<uint16_t>(std::size(kGroup19)) },
    { 20, kGroup20, static_cast<uint16_t>(std::size(kGroup20)) },
    { 21, kGroup21, static_cast<uint16_t>(std::size(kGroup21)) },
    { 22, kGroup22, static_cast<uint16_t>(std::size(kGroup22)) },
    { 23, kGroup23, static_cast<uint16_t>(std::size(kGroup23)) },
};
