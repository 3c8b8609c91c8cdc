#include "engine/core/alerts.h"

#include "engine/core/services/alerts.h"

#include <iterator>

// Searched front to back; the rows are not in code order.
const AlertRecord AlertTable[kAlertTableRows] = {
    //  code  caption  text  help topic  notice
    { 110, "Split/Merge", "The children of that point cannot be split apart.", 0, 0 },
    { 109, "Locus", "That selection does not define a locus.", 0, 0 },
    { 100, "Memory", "There's not enough memory available to complete that operation.", 0, 0 },
    { 200, "Custom Tool", "Your selection does not define a tool. Select the tool's initial objects and objects constructed by them.", 0, 0 },
    { 201, "Custom Tool", "Your selection defines one or more objects that do not presently exist. Do you want to include these objects' definition in your custom tool?", 0, 0 },
    { 204, "Custom Tool", "That tool is not available (its file is missing).", 0, 0 },
    { 102, "Motion", "This animation's path does not currently exist. Restore it by dragging objects or undoing steps before animating.", 0, 0 },
    { 103, "Motion", "One of this animation's parameters has changed to a calculation that cannot be animated. Restore it by editing the calculation or undoing steps before animating.", 0, 0 },
    { 106, "Motion", "This movement's destination does not currently exist. Restore it by dragging objects or undoing steps before moving.", 0, 0 },
    { 107, "Motion", "Nothing will move now, because this button's points are already at their destinations.", 0, 0 },
    { 105, "Reflect", "You must construct and mark a mirror (line, ray, or segment) before reflecting objects.", 0, 0 },
    { 111, "Cannot Rotate", "Rotation by a zero angle has no effect. Please use a different angle.", 0, 0 },
    { 112, "Cannot Dilate", "Dilation by a zero ratio dilates all objects to a point. Please use a different ratio.", 0, 0 },
    { 113, "Cannot Dilate", "Dilation by an infinite ratio cannot be done. Please use a different ratio.", 0, 0 },
    { 114, "Undefined Angle", "The marked angle is currently undefined. Do you want to construct the image anyway, in case it exists in the future?", 0, 0 },
    { 115, "Undefined Scale Factor", "The marked scale factor is currently undefined. Do you want to construct the dilated image anyway, in case it exists in the future?", 0, 0 },
    { 116, "Center Doesn't Exist", "The marked center point does not currently exist. Do you want to construct the image anyway, in case it exists in the future?", 3, 0 },
    { 117, "Undefined Distance", "The marked distance measurement does not currently exist. Do you want to construct the translated image anyway, in case it exists in the future?", 0, 0 },
    { 118, "Undefined Vector", "The marked vector does not currently exist. Do you want to construct the translated image anyway, in case it exists in the future?", 0, 0 },
    { 119, "Mirror Doesn't Exist", "The mirror does not currently exist. Do you want to construct the reflected image anyway, in case it exists in the future?", 0, 0 },
    { 120, "Transforming Center Only", "Only the marked center point is selected. The center cannot be rotated or dilated about itself.", 0, 0 },
    { 121, "Reflecting Mirror Only", "Only the marked mirror is selected. The mirror cannot be reflected across itself.", 0, 0 },
    { 205, "Duplicate Name", "That name is already used by another custom tool. Please choose a unique name.", 0, 0 },
    { 122, "Merged Text", "You cannot edit merged text. Do you want to split this merged text into the parts which make it up?", 0, 0 },
    { 123, "Merged Text", "You cannot edit text while it's merged to a point. Do you want to split this text from its point?", 0, 0 },
    { 124, "Merged Text", "This merged text was created with a custom template. You can edit its parts by splitting them apart, but splitting into parts will lose the custom template. Do you want to split this text into the parts which make it up?", 0, 0 },
    { 125, "Merged Text", "This merged text was created with a custom template, which will be lost when split apart. Do you want to split this text anyway?", 0, 0 },
    { 126, "Units Warning", "Changing a calculation's dimension may affect existing objects that depend on the dimension of the result.", 0, 1 },
    { 127, "New Coordinate System", "You already have a coordinate system. Do you really want to construct a new one?", 0, 0 },
    { 128, "New Coordinate System", "You already have a coordinate system. Do you really want to construct a new one? Click Yes to create a new coordinate system, or No to show the existing one.", 0, 0 },
    { 129, "Text Tool", "Coordinate and equation text is determined by the measured object, and cannot be edited.", 0, 0 },
    { 400, "Broken Link", "This button links to a page that is missing from this document.", 0, 0 },
    { 404, "Broken Link", "Your changes will remove a page referred to by one or more Link buttons. These buttons will no longer work. Do you really want to make the changes?", 0, 0 },
    { 405, "Pages Removed", "Your changes will permanently remove one or more pages from this document. Removed pages cannot be retrieved. Do you want really want to make this change?", 0, 0 },
    { 403, "Link Failed", "That URL cannot be opened in a browser.", 0, 0 },
    { 33, "Document Problem", "That document is not a Velmora document.", 0, 0 },
    { 34, "Document Problem", "That document comes from a different version of Velmora and cannot be read.", 0, 0 },
    { 35, "Document Problem", "That document appears to be damaged, and cannot be opened.", 0, 0 },
    { 40, "Document Problem", "That document contains no sketches.", 0, 0 },
    { 1, "Imported Document", "This document was created by a previous version of Velmora and will open as a copy.", 0, 1 },
    { 9, "Document Notice", "This document was created by a different version of Velmora, and contains objects that are not recognized by this version. The document will open as a copy, without these objects.", 0, 1 },
    { 29, "Document Problem", "The document name is invalid. Please make sure the document exists and has a valid name.", 0, 0 },
    { 37, "Document Problem", "That document was created by Version 1 or Version 2 of Velmora. Please open and re-save it with Velmora Version 3 before opening it with this version of Velmora.", 0, 0 },
    { 38, "Document Problem", "Scripts from earlier versions of Velmora cannot be opened in this version. Please re-save the script as a sketch in the earlier version and open the sketch instead.", 0, 0 },
    { 19, "Document Problem", "Changes cannot be saved to that document because the document or disk is locked. Please unlock it, or choose Save As to save changes to a different location.", 0, 0 },
    { 10, "Document Notice", "Not all of the objects in this document could be saved to that file format. To avoid losing work, please resave this document normally as well.", 0, 1 },
    { 13, "Vantrope", "Your sketch has been successfully converted to Vantrope format.\n\nDo you want to preview the result in your browser?", 0, 1 },
    { 14, "Vantrope", "Some objects in this sketch are not supported by this version of Vantrope, and will not appear in your applet. (These objects have been selected.)\n\nDo you want to preview the result in your browser?", 47, 1 },
    { 15, "Vantrope", "Be sure to move your HTML document to a folder containing a valid zvt folder before testing it in your browser.", 46, 1 },
    { 16, "Vantrope", "Some objects in this sketch are not supported by this version of Vantrope, and will not appear in your applet. Also, be sure to move your HTML document to a folder containing the zvt folder before testing it in a browser.", 46, 1 },
    { 11, "Document Notice", "Some portions of this document could not be opened. The document was probably created with a later version of Velmora. The document will open as a copy.", 0, 1 },
    { 6, "Document Notice", "Another document is already open with this title. This document will open as a copy.", 0, 1 },
    { 7, "Document Notice", "This document comes from an older version of Velmora that cannot read documents created by this version. It will open as a copy.", 0, 1 },
    { 8, "Document Notice", "This document may contain contents that will be lost on conversion to Corvinta format. Be sure to also save as a Velmora document in order to avoid losing these contents.", 0, 1 },
    { 132, "Derivatives", "One or more of your derivatives are too complex to differentiate exactly. Such functions will be defined as approximate derivatives, instead.", 0, 1 },
    { 133, "Derivatives", "One or more of your derivatives appears to be undefined. Such functions will be defined as approximate derivatives, instead.", 0, 1 },
    { 134, "Derivatives", "Differentiation was interrupted. One or more of your derivatives will be defined as approximate derivatives, instead.", 0, 1 },
    { 135, "Derivatives", "That function is the derivative of another function and cannot be edited directly. To change it, edit the function it differentiates.", 0, 0 },
    { 136, "Error", "The selected objects cannot be dragged.", 0, 0 },
    { 137, "Restart Needed", "You must quit and restart Velmora for your changed screen resolution to take effect.", 0, 1 },
    { 138, "Restart Needed", "You must quit and restart Velmora for your changed math symbol font to take effect.", 0, 1 },
    { 142, "Fixed Unit Length", "You cannot rescale that axis because its was defined by a specific unit length. Change the objects that define the coordinate system to change its unit length.", 0, 0 },
    { 406, "Link Failed", "A sketchdoc:// URL cannot be opened until after the document has been saved to establish a base location.", 0, 0 },
    { 143, "Trigonometric Functions", "Trig function angles repeat every 2pi units in radians, or every 360 units in degrees. Would you like to switch your preferred angle units from degrees to radians?\n\n(You can also switch units yourself using Preferences.)", 0, 1 },
    { 4, "Document Notice", "This document contains some supplemental information that cannot be read by this version of Velmora. It will open as a copy.", 0, 1 },
    { 12, "Document Notice", "This document contains components (tools, pages, etc.) that cannot be saved to this file format. These components will not be available when this file is reopened.", 0, 1 },
    { 139, "Error", "Velmora requires a math symbol font, but the specified symbol font was not found on this computer. Please identify a font to use as the math symbol font.", 0, 1 },
    { 140, "Error", "The math symbol font specified in preferences doesn't appear to be a valid symbol font. Do you want to use Preferences to identify a different font to use as the math symbol font?", 0, 1 },
    { 144, "Missing Destination Images", "Before iterating, construct destination points that depend on selected points to define their first iterated images.", 0, 0 },
    { 145, "Missing Destination Images", "Before iterating, calculate destination values that depend on selected values to define their first iterated images.", 0, 0 },
    { 146, "Missing Destination Images", "Before iterating, create destination points and values that depend on selected pre-images to define their first iterated images.", 0, 0 },
    { 147, "Conflicting Pre-Images", "You cannot iterate points constructed on objects while also iterating those objects. (These points will not appear as pre-images.)", 0, 1 },
    { 148, "Presentation", "Link action buttons can only be presented at the end of a sequential presentation.", 0, 0 },
    { 149, "Presentation", "Links to URLs cannot be presented by a presentation button.", 0, 0 },
    { 408, "Help Not Found", "Please locate or reinstall your help directory (from the Velmora CD) before accessing help.", 0, 0 },
    { 409, "Printing Problem", "Velmora was unable to print this document.", 0, 0 },
    { 410, "Printing Problem", "This sketch contains no printable objects.", 0, 0 },
    { 202, "Step-By-Step Warning", "This step cannot be constructed, because the objects on which it depends are not distinct. (Applying the tool to selections that do not depend on each other will produce distinct objects.)", 0, 0 },
    { 150, "Custom Tools", "Changes to Tool Folder tools will not be saved when you exit Velmora. \r\n\r\nTo save such changes, open the document and edit it directly; or copy the edited tool into an open document using Document Options.", 0, 1 },
};
static_assert(std::size(AlertTable) == kAlertTableRows);

const AlertRecord kGenericAlert = {
    0, "Error", "That operation could not complete because an error occurred.", 0, 0 };

const AlertRecord* FindAlertRow(ResultCode code) {
    for (const AlertRecord& row : AlertTable)
        if (row.code == code) return &row;
    return nullptr;
}

namespace {

const AlertRecord& AlertRowOrGeneric(ResultCode code) {
    const AlertRecord* row = FindAlertRow(code);
    return row != nullptr ? *row : kGenericAlert;
}

}  // namespace

void ShowAlertByCode(ResultCode code, uint32_t owner) {
    if (code == kResultOK || code == kResultCancelled) return;
    const AlertRecord& row = AlertRowOrGeneric(code);
    ShowAlert(row.caption, row.text, code, row.helpTopic, owner, row.notice != 0);
}

bool AskQuestionByCode(ResultCode code, bool okCancel, uint32_t owner) {
    if (code == kResultOK) return true;
    if (code == kResultCancelled) return false;
    const AlertRecord& row = AlertRowOrGeneric(code);
    return AskQuestion(row.caption, row.text, okCancel ? kQuestionOkCancel : kQuestionYesNo,
                       code, owner);
}
