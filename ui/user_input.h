// What a user does to a dialog, as every backend reports it: the layer turns it into the
// messages a dialog procedure expects, with the usual rules (disabled and hidden controls
// take no input, automatic radio buttons, digits-only fields, Escape and Enter, capture).
#pragma once

#include "ui/dialog_record.h"

// A click on a button, icon button, owner-drawn button or radio button.
void userClick(UiDialog* dialog, int32_t id);
// Typing at the end of an edit field's text: one edit-change command per accepted character.
void userType(UiDialog* dialog, int32_t id, const std::string& text);
// Pasting at the end of the text: one edit-change command, nothing filtered.
void userPaste(UiDialog* dialog, int32_t id, const std::string& text);
// A desktop edit field's new text, already filtered as typed: one edit-change command.
void userEdited(UiDialog* dialog, int32_t id, const std::string& text);
// Selects all of an edit field's text and deletes it.
void userErase(UiDialog* dialog, int32_t id);
void userSelect(UiDialog* dialog, int32_t id, int32_t index);
void userFocus(UiDialog* dialog, int32_t id);
void userKey(UiDialog* dialog, int32_t key);
// A mouse message at a client point: delivered when the mouse is captured, or when the
// point lies in the client area outside every child window.
void userMouse(UiDialog* dialog, const UiEvent& event);
void userClose(UiDialog* dialog);
// Whether the control is a child window of its own (rather than painted on the client area).
bool isChildWindow(ControlKind kind);
