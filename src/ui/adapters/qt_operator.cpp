#include "ui/adapters/qt_operator.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/adapters/qt_colour.h"

namespace mz {

namespace {
QString Q(std::string_view s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}

// "Results Files|*.MZ" as Qt writes it, "Results Files (*.MZ *.mz)": the
// extensions were always upper case, but Linux names are case-sensitive.
QString QtFilter(std::string_view filter) {
  const QString f = Q(filter);
  const int bar = f.indexOf('|');
  if (bar < 0) return f;
  const QString pattern = f.mid(bar + 1);
  QString patterns = pattern;
  if (pattern.toLower() != pattern) patterns += ' ' + pattern.toLower();
  return f.left(bar) + " (" + patterns + ")";
}
}  // namespace

Answer QtOperator::Message(MessageKind kind, std::string_view text, Buttons buttons) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption = QStringLiteral("MZ4800");
  switch (kind) {
    case MessageKind::Warning:
      icon = QMessageBox::Warning;
      caption = "Warning";
      break;
    case MessageKind::Error:
      icon = QMessageBox::Critical;
      caption = "Error";
      break;
    case MessageKind::Information:
      icon = QMessageBox::Information;
      caption = "Information";
      break;
    case MessageKind::Confirmation:
      icon = QMessageBox::Question;
      caption = "Confirm";
      break;
    case MessageKind::Plain:
      break;
  }
  const auto standard = buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No)
                                                  : QMessageBox::StandardButtons(QMessageBox::Ok);
  QMessageBox box(icon, caption, Q(text), standard, parent_);
  const int r = box.exec();
  if (buttons == Buttons::Ok) return Answer::Ok;
  return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::string QtOperator::Input(std::string_view caption, std::string_view prompt,
                              std::string_view defaultText) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent_, Q(caption), Q(prompt), QLineEdit::Normal, Q(defaultText), &ok);
  return ok ? answer.toLocal8Bit().toStdString() : std::string(defaultText);
}

Answer QtOperator::ShowModal(std::string_view form) {
  auto it = forms_.find(form);
  if (it == forms_.end()) return Answer::Cancel;
  return it->second->exec() == QDialog::Accepted ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> QtOperator::OpenFileName(std::string_view title, std::string_view filter,
                                                    std::string_view defaultExt) {
  QFileDialog dialog(parent_, Q(title), QString(), QtFilter(filter));
  dialog.setObjectName("OpenDialog");
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(Q(defaultExt));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

std::optional<std::string> QtOperator::SaveFileName(std::string_view title, std::string_view filter,
                                                    std::string_view defaultExt) {
  QFileDialog dialog(parent_, Q(title), QString(), QtFilter(filter));
  dialog.setObjectName("SaveDialog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Q(defaultExt));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

std::optional<Colour> QtOperator::PickColour(Colour initial) {
  const QColor c = QColorDialog::getColor(ToQColor(initial), parent_);
  if (!c.isValid()) return std::nullopt;
  return FromQColor(c);
}

}  // namespace mz
