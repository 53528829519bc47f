#include "ui/adapters/qt_operator.h"

#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/adapters/qt_colour.h"
#include "ui/windows/campaign_dialog.h"

namespace mz {

namespace {
QString Q(std::string_view s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}

// "Results Files|*.MZ" as Qt writes it, "Results Files (*.MZ *.mz)": the
// extensions were always upper case, but Linux names are case-sensitive.
// Every list also offers all files, for names that were given no extension.
QStringList QtFilters(std::string_view filter) {
  const QString f = Q(filter);
  const int bar = f.indexOf('|');
  QString own = f;
  if (bar >= 0) {
    const QString pattern = f.mid(bar + 1);
    QString patterns = pattern;
    if (pattern.toLower() != pattern) patterns += ' ' + pattern.toLower();
    own = f.left(bar) + " (" + patterns + ")";
  }
  return {own, QStringLiteral("All files (*)")};
}
}  // namespace

namespace {
struct BoxLook {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption = QStringLiteral("MZ4800");
};

BoxLook LookOf(MessageKind kind) {
  BoxLook look;
  auto& icon = look.icon;
  auto& caption = look.caption;
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
  return look;
}
}  // namespace

Answer QtOperator::Message(MessageKind kind, std::string_view text, Buttons buttons) {
  const auto [icon, caption] = LookOf(kind);
  QMessageBox box(icon, caption, Q(text), QMessageBox::NoButton, parent_);
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return Answer::Ok;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    case Buttons::ContinueStop: {
      // Enter goes on, Esc (and the caption's close button) stops.
      QPushButton* go = box.addButton("Continue", QMessageBox::AcceptRole);
      QPushButton* stop = box.addButton("Stop", QMessageBox::RejectRole);
      box.setDefaultButton(go);
      box.setEscapeButton(stop);
      box.exec();
      return box.clickedButton() == go ? Answer::Yes : Answer::No;
    }
  }
  return Answer::No;
}

void QtOperator::Notice(MessageKind kind, std::string_view text) {
  const auto [icon, caption] = LookOf(kind);
  auto* box = new QMessageBox(icon, caption, Q(text), QMessageBox::Ok, parent_);
  box->setObjectName("Notice");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
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

QString QtOperator::StartFolder(std::string_view defaultExt) const {
  const auto it = lastFolders_.find(Q(defaultExt).toUpper());
  if (it != lastFolders_.end() && QFileInfo(it->second).isDir()) return it->second;
  return QString::fromStdString(programFolder_.string());
}

void QtOperator::Remember(std::string_view defaultExt, const QString& file) {
  lastFolders_[Q(defaultExt).toUpper()] = QFileInfo(file).absolutePath();
}

std::optional<std::string> QtOperator::OpenFileName(std::string_view title, std::string_view filter,
                                                    std::string_view defaultExt) {
  QFileDialog dialog(parent_, Q(title), StartFolder(defaultExt));
  dialog.setObjectName("OpenDialog");
  dialog.setNameFilters(QtFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(Q(defaultExt));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString file = dialog.selectedFiles().front();
  Remember(defaultExt, file);
  return file.toLocal8Bit().toStdString();
}

std::optional<std::string> QtOperator::SaveFileName(std::string_view title, std::string_view filter,
                                                    std::string_view defaultExt,
                                                    std::string_view suggested) {
  QFileDialog dialog(parent_, Q(title), StartFolder(defaultExt));
  dialog.setObjectName("SaveDialog");
  dialog.setNameFilters(QtFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Q(defaultExt));
  if (!suggested.empty()) {
    const QFileInfo file(Q(suggested));
    if (file.isAbsolute() && file.absoluteDir().exists()) dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString file = dialog.selectedFiles().front();
  Remember(defaultExt, file);
  return file.toLocal8Bit().toStdString();
}

std::optional<Campaign> QtOperator::EditCampaign(const Campaign& initial, bool preScanAvailable) {
  CampaignDialog dialog(initial, preScanAvailable, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Edited();
}

std::optional<Colour> QtOperator::PickColour(Colour initial) {
  const QColor c = QColorDialog::getColor(ToQColor(initial), parent_);
  if (!c.isValid()) return std::nullopt;
  return FromQColor(c);
}

}  // namespace mz
