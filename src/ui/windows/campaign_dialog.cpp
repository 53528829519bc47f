#include "ui/windows/campaign_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

#include "files/campaign_file.h"
#include "ui/windows/dialog_kit.h"

namespace mz {

namespace {
// The campaign's text is UTF-8.
QString U(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Trimmed(const QString& s) {
  return s.trimmed().toStdString();
}

QListWidgetItem* PositionItem(const QString& name) {
  auto* item = new QListWidgetItem(name);
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  return item;
}

// A preset's button: its text with a keyboard mnemonic before `key`.
QPushButton* PresetButton(const char* preset, QChar key, const char* name) {
  QString text = QString::fromUtf8(preset);
  text.replace('&', "&&");
  const int at = text.indexOf(key);
  if (at >= 0) text.insert(at, '&');
  auto* b = new QPushButton(text);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QPushButton* ListButton(const QString& text, const char* name) {
  auto* b = new QPushButton(text);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}
}  // namespace

CampaignDialog::CampaignDialog(const Campaign& initial, bool preScanAvailable, QWidget* parent)
    : QDialog(parent, kDialogFlags | Qt::WindowCloseButtonHint), initial_(initial) {
  setObjectName("CampaignDialog");
  setWindowTitle("Campaign");
  setModal(true);
  setFont(ProgramFont());

  // The EUT and the test. The mnemonics are unique in the dialog.
  auto* form = new QFormLayout;
  eut_ = AddField(form, "&EUT", "Eut", initial.Eut);
  model_ = AddField(form, "&Model", "Model", initial.Model);
  serial_ = AddField(form, "Serial &number", "Serial", initial.Serial);
  operator_ = AddField(form, "&Operator", "Operator", initial.Operator);
  laboratory_ = AddField(form, "La&boratory", "Laboratory", initial.Laboratory);
  standard_ = AddField(form, "&Standard", "Standard", initial.Standard);
  testLevel_ = AddField(form, "Test &level", "TestLevel", initial.TestLevel);
  criterion_ = AddField(form, "Performance c&riterion", "Criterion", initial.Criterion);
  notes_ = new QPlainTextEdit;
  notes_->setObjectName("Notes");
  notes_->setAccessibleName("Notes");
  notes_->setTabChangesFocus(true);
  notes_->setPlainText(U(initial.Notes));
  auto* notesLabel = new QLabel("No&tes");
  notesLabel->setBuddy(notes_);
  form->addRow(notesLabel, notes_);

  // The set-up every position runs.
  auto* setupBox = new QGroupBox("Set-up");
  currentSetup_ = new QRadioButton("&Current set-up");
  currentSetup_->setObjectName("CurrentSetup");
  preScanSetup_ = new QRadioButton("&Pre-scanned set-up");
  preScanSetup_->setObjectName("PreScannedSetup");
  preScanSetup_->setEnabled(preScanAvailable);
  if (preScanAvailable && !initial.PreScanFile.empty()) {
    preScanSetup_->setChecked(true);
  } else {
    currentSetup_->setChecked(true);
  }
  auto* setupLayout = new QVBoxLayout(setupBox);
  setupLayout->addWidget(currentSetup_);
  setupLayout->addWidget(preScanSetup_);

  // The positions, edited in place.
  positions_ = new QListWidget;
  positions_->setObjectName("Positions");
  positions_->setAccessibleName("Positions");
  positions_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  for (const CampaignPosition& p : initial.Positions) positions_->addItem(PositionItem(U(p.Name)));
  auto* listLabel = new QLabel("Pos&itions");
  listLabel->setBuddy(positions_);
  auto* add = ListButton("&Add", "AddPosition");
  remove_ = ListButton("Remo&ve", "RemovePosition");
  up_ = ListButton("&Up", "MoveUp");
  down_ = ListButton("&Down", "MoveDown");
  auto* tem = PresetButton(kTemCellPreset, 'Z', "TemCellPreset");
  auto* chamber = PresetButton(kChamberPreset, 'h', "ChamberPreset");
  connect(add, &QPushButton::clicked, this, &CampaignDialog::AddPosition);
  connect(remove_, &QPushButton::clicked, this, &CampaignDialog::RemovePosition);
  connect(up_, &QPushButton::clicked, this, [this] { MovePosition(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { MovePosition(1); });
  connect(tem, &QPushButton::clicked, this, [this] { SetPositions(TemCellPositions()); });
  connect(chamber, &QPushButton::clicked, this, [this] { SetPositions(ChamberPositions()); });
  connect(positions_, &QListWidget::currentRowChanged, this, &CampaignDialog::UpdateButtons);
  auto* listButtons = new QVBoxLayout;
  for (QPushButton* b : {add, remove_, up_, down_}) listButtons->addWidget(b);
  listButtons->addStretch();
  auto* listRow = new QHBoxLayout;
  listRow->addWidget(positions_, 1);
  listRow->addLayout(listButtons);
  auto* positionsLayout = new QVBoxLayout;
  positionsLayout->addWidget(listLabel);
  positionsLayout->addLayout(listRow);
  positionsLayout->addWidget(tem);
  positionsLayout->addWidget(chamber);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->setObjectName("Buttons");
  connect(buttons, &QDialogButtonBox::accepted, this, &CampaignDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CampaignDialog::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(setupBox);
  right->addLayout(positionsLayout, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(form, 3);
  columns->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);

  if (positions_->count() > 0) positions_->setCurrentRow(0);
  UpdateButtons();
}

QLineEdit* CampaignDialog::AddField(QFormLayout* form, const QString& label, const char* name,
                                    const std::string& text) {
  auto* edit = new QLineEdit(U(text));
  edit->setObjectName(name);
  auto* l = new QLabel(label);
  l->setBuddy(edit);
  edit->setAccessibleName(QString(label).remove('&'));
  form->addRow(l, edit);
  return edit;
}

std::vector<std::string> CampaignDialog::PositionNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < positions_->count(); ++i)
    names.push_back(Trimmed(positions_->item(i)->text()));
  return names;
}

Campaign CampaignDialog::Edited() const {
  Campaign c;
  c.Eut = Trimmed(eut_->text());
  c.Model = Trimmed(model_->text());
  c.Serial = Trimmed(serial_->text());
  c.Operator = Trimmed(operator_->text());
  c.Laboratory = Trimmed(laboratory_->text());
  c.Standard = Trimmed(standard_->text());
  c.TestLevel = Trimmed(testLevel_->text());
  c.Criterion = Trimmed(criterion_->text());
  c.Notes = notes_->toPlainText().toStdString();
  c.SetupFile = initial_.SetupFile;
  c.PreScanFile =
      preScanSetup_->isEnabled() && preScanSetup_->isChecked() ? kCampaignPreScanFile : "";
  for (const std::string& name : PositionNames()) {
    CampaignPosition p{name, {}};
    for (const CampaignPosition& before : initial_.Positions) {
      if (before.Name == name) {
        p.RunFile = before.RunFile;
        break;
      }
    }
    c.Positions.push_back(std::move(p));
  }
  return c;
}

QString CampaignDialog::Refusal() const {
  if (eut_->text().trimmed().isEmpty()) return "Enter the name of the EUT.";
  const std::vector<std::string> names = PositionNames();
  if (names.empty()) return "Give the campaign at least one position.";
  if (names.size() > static_cast<std::size_t>(kMaxCampaignPositions)) {
    return QString("A campaign has at most %1 positions; this one has %2.")
        .arg(kMaxCampaignPositions)
        .arg(names.size());
  }
  QSet<QString> seen;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const QString name = U(names[i]);
    if (name.isEmpty()) return QString("Position %1 has no name.").arg(i + 1);
    if (seen.contains(name)) return QString("The position \"%1\" is named twice.").arg(name);
    seen.insert(name);
  }
  return {};
}

void CampaignDialog::accept() {
  const QString why = Refusal();
  if (why.isEmpty()) {
    QDialog::accept();
    return;
  }
  QMessageBox box(QMessageBox::Warning, "Campaign", why, QMessageBox::Ok, this);
  box.setObjectName("CampaignRefusal");
  box.exec();
  if (eut_->text().trimmed().isEmpty()) {
    eut_->setFocus();
  } else {
    positions_->setFocus();
  }
}

void CampaignDialog::SetPositions(const std::vector<std::string>& names) {
  positions_->clear();
  for (const std::string& name : names) positions_->addItem(PositionItem(U(name)));
  if (positions_->count() > 0) positions_->setCurrentRow(0);
  UpdateButtons();
}

void CampaignDialog::AddPosition() {
  // A name not yet in the list, to be typed over at once.
  const std::vector<std::string> names = PositionNames();
  int n = positions_->count() + 1;
  QString name;
  do {
    name = QString("Position %1").arg(n++);
  } while (std::find(names.begin(), names.end(), name.toStdString()) != names.end());
  auto* item = PositionItem(name);
  positions_->addItem(item);
  positions_->setCurrentItem(item);
  positions_->setFocus();
  positions_->editItem(item);
  UpdateButtons();
}

void CampaignDialog::RemovePosition() {
  const int row = positions_->currentRow();
  if (row < 0) return;
  delete positions_->takeItem(row);
  if (positions_->count() > 0) positions_->setCurrentRow(std::min(row, positions_->count() - 1));
  UpdateButtons();
}

void CampaignDialog::MovePosition(int by) {
  const int row = positions_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= positions_->count()) return;
  QListWidgetItem* item = positions_->takeItem(row);
  positions_->insertItem(to, item);
  positions_->setCurrentRow(to);
  UpdateButtons();
}

void CampaignDialog::UpdateButtons() {
  const int row = positions_->currentRow();
  remove_->setEnabled(row >= 0);
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < positions_->count());
}

}  // namespace mz
