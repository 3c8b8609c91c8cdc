// The later release's entry to the shared code: figlate's entry point calls
// InstallLaterRelease before the application object starts, so every operation that
// release2 revises is reached through the table of engine/core/services/later_release.h
// from the first message on. figmantle links none of release2 and runs the shared forms.
//
// Each area of release2 has an installer of its own that fills its entries of the table
// (text/text_forms.h for the texts); InstallLaterRelease calls them all and installs the
// table once. The tests call an area's installer on a table of their own and install it
// with InstallLaterForms, then ResetLaterForms.
//
// Code that calls Windows lives in folders named win32/; the rest of release2 is portable
// and also builds natively (CMakeLists.txt: release2_portable).
#pragma once

void InstallLaterRelease();
