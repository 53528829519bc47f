#pragma once
// The small dialogs of the main window: the title prompt, the notes and the
// about box. Each dialog's controls live in the
// screen model under the dialog's name ("Nbook.Memo1", "Hkeep.Edit1"); the
// dialog's buttons call the handlers below and close it.
#include "core/context.h"

namespace mz {

// File > Title...: the input box; the answer becomes the title.
void EditTitle(Context& ctx);

// File > Notes...: the notes dialog with the eight note lines.
void EditNotes(Context& ctx);
// The notes dialog's "Clear" button: empties the text field.
void NbookClearClick(Context& ctx);
// The notes dialog's "Exit" button: the first eight lines become the notes.
void NbookExitClick(Context& ctx);

// Help > About...
void ShowAbout(Context& ctx);

inline constexpr const char* kSoftwareVersion = "Software Version 1.28 26th February 2001";
inline constexpr std::size_t kNoteLines = 8;
inline constexpr std::size_t kNoteLineLength = 255;
inline constexpr int kNotesFieldLength = 540;

}  // namespace mz
