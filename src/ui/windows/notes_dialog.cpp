#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "ui/windows/aux_dialogs.h"
#include "ui/windows/dialog_kit.h"

namespace mz {

NotesDialog::NotesDialog(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QDialog(parent, kDialogFlags | Qt::WindowCloseButtonHint), ctx_(ctx) {
  setObjectName(ctl::NotesForm);
  setWindowTitle("Halvorn MZ4800   Notes");
  setModal(true);
  setFont(ProgramFont());
  setFixedSize(440, 232);

  auto* caption = new QLabel("Enter notes here", this);
  caption->setGeometry(12, 8, 300, 18);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(ObjectName(ctl::NotesMemo));
  memo_->setGeometry(12, 28, 416, 150);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setTabChangesFocus(true);
  // The length limit comes before the binding, so the model never holds more.
  connect(memo_, &QPlainTextEdit::textChanged, this, &NotesDialog::LimitLength);
  binder.Bind(ctl::NotesMemo, memo_);

  auto* exit = DialogButton(this, "Exit", {256, 192, 80, 28});
  connect(exit, &QPushButton::clicked, this, [this] {
    if (RunHandler(ctx_, [this] { NbookExitClick(ctx_); })) accept();
  });
  auto* clear = DialogButton(this, "Clear", {348, 192, 80, 28});
  connect(clear, &QPushButton::clicked, this,
          [this] { RunHandler(ctx_, [this] { NbookClearClick(ctx_); }); });
}

void NotesDialog::LimitLength() {
  const QString text = memo_->toPlainText();
  if (text.size() <= kNotesFieldLength) return;
  QTextCursor cursor = memo_->textCursor();
  const int at = std::min(cursor.position(), kNotesFieldLength);
  memo_->setPlainText(text.left(kNotesFieldLength));
  cursor = memo_->textCursor();
  cursor.setPosition(at);
  memo_->setTextCursor(cursor);
}

}  // namespace mz
