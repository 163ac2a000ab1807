#pragma once

class QDialog;
class QKeyEvent;
class QPushButton;

namespace quillary {

// The editing dialogs have no default and no cancel button: Enter presses only a focused button
// and Escape does nothing. True when the key was dealt with.
bool HandleDialogKey(QDialog& dialog, QKeyEvent& event);

// A button that never becomes the dialog's default.
QPushButton* NewPlainButton(const char* caption, QDialog& dialog);

} // namespace quillary
