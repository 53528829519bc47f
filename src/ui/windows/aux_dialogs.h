#pragma once
// The notes, instrument details and about dialogs of the main window.
#include <QDialog>

#include "core/context.h"
#include "ui/adapters/control_binder.h"

class QPlainTextEdit;

namespace mz {

// "Nbook": eight lines of notes for the printed plot.
class NotesDialog : public QDialog {
  Q_OBJECT
 public:
  NotesDialog(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

 private:
  void LimitLength();
  Context& ctx_;
  QPlainTextEdit* memo_ = nullptr;
};

// "Hkeep": the results files' delimiter, the field cell and the instrument's
// hardware version.
class InstrumentDetailsDialog : public QDialog {
  Q_OBJECT
 public:
  InstrumentDetailsDialog(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

 private:
  Context& ctx_;
};

// "About": the version, the maker and a logo.
class AboutBox : public QDialog {
  Q_OBJECT
 public:
  AboutBox(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);
};

}  // namespace mz
