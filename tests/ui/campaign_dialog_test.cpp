// The campaign dialog: filled from a campaign and returning it as edited, the
// position list and its presets, the set-up choice and the refusals of OK;
// and the Continue / Stop message box.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ui/adapters/qt_operator.h"
#include "ui/windows/campaign_dialog.h"

using namespace mz;

namespace {

Campaign Sample() {
  Campaign c;
  c.Eut = "Radio set";
  c.Model = "RS-200";
  c.Serial = "0042";
  c.Operator = "A. Tester";
  c.Laboratory = "EMC lab 2";
  c.Standard = "EN 61000-4-3";
  c.TestLevel = "3 V/m";
  c.Criterion = "A: no loss of function";
  c.Notes = "first line\nsecond line";
  c.SetupFile = "OWN.STP";
  c.Positions = {{"X", "X-RUN.MZ"}, {"Y", "Y-RUN.MZ"}, {"Z", ""}};
  return c;
}

template <class T = QWidget>
T* Child(QWidget* dialog, const char* name) {
  auto* w = dialog->findChild<T*>(name);
  if (w == nullptr) qFatal("no widget %s", name);
  return w;
}

QStringList Names(QWidget* dialog) {
  QStringList names;
  auto* list = Child<QListWidget>(dialog, "Positions");
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

void Click(QWidget* dialog, const char* name) {
  Child<QPushButton>(dialog, name)->click();
}

// Acts on the modal window on top as soon as there is one, from the event
// loop that the modal window runs.
void WhenModal(std::function<void(QWidget*)> act, int triesLeft = 500) {
  QTimer::singleShot(10, [act, triesLeft] {
    QWidget* w = QApplication::activeModalWidget();
    if (w != nullptr && w->isVisible()) {
      act(w);
    } else if (triesLeft > 0) {
      WhenModal(act, triesLeft - 1);
    }
  });
}

// Types a name into the position's editor that is open, and commits it.
void TypeName(QListWidget* list, const QString& name) {
  auto* editor = list->findChild<QLineEdit*>();
  if (editor == nullptr) qFatal("no editor open");
  editor->selectAll();
  QTest::keyClicks(editor, name);
  QTest::keyClick(editor, Qt::Key_Return);
  // The editor commits and closes from the event loop; once it has gone the
  // next one is the only one.
  QTRY_VERIFY(list->findChild<QLineEdit*>() == nullptr);
}

QPushButton* ButtonCaptioned(QMessageBox* box, const QString& caption) {
  for (QAbstractButton* b : box->buttons()) {
    if (b->text() == caption) return qobject_cast<QPushButton*>(b);
  }
  return nullptr;
}

}  // namespace

class CampaignDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void filledFromTheCampaignAndReturnedAsEdited();
  void everyEditHasALabelWithItsOwnMnemonic();
  void presetsReplaceThePositions();
  void addRemoveAndMovePositions();
  void preScannedSetupOnlyWithAPreScan();
  void okRefusedWithoutEutOrWithATwiceNamedPosition();
  void okRefusedWithoutPositionsOrWithAnUnnamedOne();
  void runKeptForAPositionOfTheSameName();
  void operatorReturnsTheCampaignOrNothing();
  void continueStopAnswersYesOrNo();
};

void CampaignDialogTest::filledFromTheCampaignAndReturnedAsEdited() {
  const Campaign initial = Sample();
  CampaignDialog d(initial, false, nullptr);
  QCOMPARE(d.windowTitle(), QString("Campaign"));
  QCOMPARE(Child<QLineEdit>(&d, "Eut")->text(), QString("Radio set"));
  QCOMPARE(Child<QLineEdit>(&d, "Criterion")->text(), QString("A: no loss of function"));
  QCOMPARE(Child<QPlainTextEdit>(&d, "Notes")->toPlainText(), QString("first line\nsecond line"));
  QCOMPARE(Names(&d), QStringList({"X", "Y", "Z"}));
  // Unchanged, the campaign comes back as it went in.
  QVERIFY(d.Edited() == initial);

  Child<QLineEdit>(&d, "Eut")->setText("  Power supply  ");
  Child<QLineEdit>(&d, "Model")->setText("PS-9");
  Child<QLineEdit>(&d, "Serial")->setText("7");
  Child<QLineEdit>(&d, "Operator")->setText("B. Checker");
  Child<QLineEdit>(&d, "Laboratory")->setText("Chamber 1");
  Child<QLineEdit>(&d, "Standard")->setText("IEC 61000-4-3");
  Child<QLineEdit>(&d, "TestLevel")->setText("10 V/m");
  Child<QLineEdit>(&d, "Criterion")->setText("B");
  auto* notes = Child<QPlainTextEdit>(&d, "Notes");
  notes->clear();
  notes->setFocus();
  QTest::keyClicks(notes, "one");
  QTest::keyClick(notes, Qt::Key_Return);
  QTest::keyClicks(notes, "two");
  QTest::keyClick(notes, Qt::Key_Return);
  QTest::keyClicks(notes, "three");

  const Campaign c = d.Edited();
  QCOMPARE(c.Eut, std::string("Power supply"));
  QCOMPARE(c.Model, std::string("PS-9"));
  QCOMPARE(c.Serial, std::string("7"));
  QCOMPARE(c.Operator, std::string("B. Checker"));
  QCOMPARE(c.Laboratory, std::string("Chamber 1"));
  QCOMPARE(c.Standard, std::string("IEC 61000-4-3"));
  QCOMPARE(c.TestLevel, std::string("10 V/m"));
  QCOMPARE(c.Criterion, std::string("B"));
  QCOMPARE(c.Notes, std::string("one\ntwo\nthree"));
  QCOMPARE(c.SetupFile, std::string("OWN.STP"));
  QCOMPARE(c.PreScanFile, std::string());
  QVERIFY(d.Refusal().isEmpty());
}

void CampaignDialogTest::everyEditHasALabelWithItsOwnMnemonic() {
  CampaignDialog d(Sample(), true, nullptr);
  QSet<QChar> keys;
  auto take = [&](const QString& text) {
    const int at = text.indexOf('&');
    QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(text));
    const QChar key = text.at(at + 1).toLower();
    QVERIFY2(!keys.contains(key), qPrintable("mnemonic used twice: " + text));
    keys.insert(key);
  };
  int buddies = 0;
  for (QLabel* l : d.findChildren<QLabel*>()) {
    if (l->buddy() == nullptr) continue;
    ++buddies;
    take(l->text());
    QVERIFY(!l->buddy()->accessibleName().isEmpty());
  }
  QCOMPARE(buddies, 10);  // eight lines, the notes and the positions
  for (QAbstractButton* b : d.findChildren<QAbstractButton*>()) {
    if (b->text().contains('&')) take(b->text());
  }
  for (const char* edit : {"Eut", "Model", "Serial", "Operator", "Laboratory", "Standard",
                           "TestLevel", "Criterion", "Notes", "Positions"}) {
    bool labelled = false;
    for (QLabel* l : d.findChildren<QLabel*>()) labelled |= l->buddy() == Child(&d, edit);
    QVERIFY2(labelled, edit);
  }
}

void CampaignDialogTest::presetsReplaceThePositions() {
  CampaignDialog d(Sample(), false, nullptr);
  Click(&d, "ChamberPreset");
  QCOMPARE(Names(&d).size(), 8);
  QCOMPARE(Names(&d).front(), QString("Front, horizontal"));
  QCOMPARE(Names(&d).back(), QString("Left, vertical"));
  Click(&d, "TemCellPreset");
  QCOMPARE(Names(&d), QStringList({"X", "Y", "Z"}));
  Click(&d, "ChamberPreset");
  const Campaign c = d.Edited();
  QCOMPARE(c.Positions.size(), std::size_t{8});
  QCOMPARE(c.Positions[4].Name, std::string("Front, vertical"));
  for (const CampaignPosition& p : c.Positions) QVERIFY(p.RunFile.empty());
  QVERIFY(d.Refusal().isEmpty());
}

void CampaignDialogTest::addRemoveAndMovePositions() {
  CampaignDialog d(Sample(), false, nullptr);
  d.show();
  auto* list = Child<QListWidget>(&d, "Positions");
  auto* up = Child<QPushButton>(&d, "MoveUp");
  auto* down = Child<QPushButton>(&d, "MoveDown");

  list->setCurrentRow(0);
  QVERIFY(!up->isEnabled());
  QVERIFY(down->isEnabled());
  Click(&d, "MoveDown");
  QCOMPARE(Names(&d), QStringList({"Y", "X", "Z"}));
  QCOMPARE(list->currentRow(), 1);
  Click(&d, "MoveDown");
  QCOMPARE(Names(&d), QStringList({"Y", "Z", "X"}));
  QVERIFY(!down->isEnabled());
  Click(&d, "MoveUp");
  QCOMPARE(Names(&d), QStringList({"Y", "X", "Z"}));

  // Added at the end with a name of its own, then named in place.
  Click(&d, "AddPosition");
  QCOMPARE(Names(&d).size(), 4);
  QCOMPARE(list->currentRow(), 3);
  QVERIFY(!Names(&d).mid(0, 3).contains(Names(&d).back()));
  TypeName(list, "Top");
  QCOMPARE(Names(&d), QStringList({"Y", "X", "Z", "Top"}));

  // F2 renames the current position in place.
  list->setCurrentRow(2);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_F2);
  TypeName(list, "Z, turned");
  QCOMPARE(Names(&d), QStringList({"Y", "X", "Z, turned", "Top"}));

  list->setCurrentRow(1);
  Click(&d, "RemovePosition");
  QCOMPARE(Names(&d), QStringList({"Y", "Z, turned", "Top"}));
  QCOMPARE(list->currentRow(), 1);
  list->setCurrentRow(2);
  Click(&d, "RemovePosition");
  QCOMPARE(list->currentRow(), 1);
  Click(&d, "RemovePosition");
  Click(&d, "RemovePosition");
  QVERIFY(Names(&d).isEmpty());
  QVERIFY(!Child<QPushButton>(&d, "RemovePosition")->isEnabled());
}

void CampaignDialogTest::preScannedSetupOnlyWithAPreScan() {
  Campaign initial = Sample();
  initial.PreScanFile = "PRESCAN.PSC";
  {
    // Without a pre-scan the current set-up is run, whatever the campaign had.
    CampaignDialog d(initial, false, nullptr);
    QVERIFY(!Child<QRadioButton>(&d, "PreScannedSetup")->isEnabled());
    QVERIFY(Child<QRadioButton>(&d, "CurrentSetup")->isChecked());
    QCOMPARE(d.Edited().PreScanFile, std::string());
  }
  {
    CampaignDialog d(initial, true, nullptr);
    QVERIFY(Child<QRadioButton>(&d, "PreScannedSetup")->isChecked());
    QCOMPARE(d.Edited().PreScanFile, std::string("PRESCAN.PSC"));
    Child<QRadioButton>(&d, "CurrentSetup")->click();
    QVERIFY(!Child<QRadioButton>(&d, "PreScannedSetup")->isChecked());
    QCOMPARE(d.Edited().PreScanFile, std::string());
  }
  {
    CampaignDialog d(Sample(), true, nullptr);
    QVERIFY(Child<QRadioButton>(&d, "CurrentSetup")->isChecked());
    Child<QRadioButton>(&d, "PreScannedSetup")->click();
    QCOMPARE(d.Edited().PreScanFile, std::string("PRESCAN.PSC"));
  }
}

namespace {
// Presses OK; returns the text of the warning that refused it, closing the
// warning, or empty when none came.
QString PressOk(CampaignDialog& d) {
  auto refusal = std::make_shared<QString>();
  WhenModal([refusal](QWidget* w) {
    if (w->objectName() != "CampaignRefusal") return;
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      *refusal = box->text();
      box->accept();
    }
  });
  auto* buttons = Child<QDialogButtonBox>(&d, "Buttons");
  buttons->button(QDialogButtonBox::Ok)->click();
  return *refusal;
}
}  // namespace

void CampaignDialogTest::okRefusedWithoutEutOrWithATwiceNamedPosition() {
  CampaignDialog d(Sample(), false, nullptr);
  d.open();
  Child<QLineEdit>(&d, "Eut")->setText("   ");
  QVERIFY(PressOk(d).contains("EUT"));
  QVERIFY(d.isVisible());
  QCOMPARE(d.result(), int(QDialog::Rejected));

  Child<QLineEdit>(&d, "Eut")->setText("Radio set");
  Child<QListWidget>(&d, "Positions")->item(2)->setText("X ");
  QVERIFY(PressOk(d).contains("\"X\""));
  QVERIFY(d.isVisible());

  Child<QListWidget>(&d, "Positions")->item(2)->setText("Z");
  QCOMPARE(PressOk(d), QString());
  QVERIFY(!d.isVisible());
  QCOMPARE(d.result(), int(QDialog::Accepted));
}

void CampaignDialogTest::okRefusedWithoutPositionsOrWithAnUnnamedOne() {
  Campaign initial = Sample();
  initial.Positions.clear();
  CampaignDialog d(initial, false, nullptr);
  QVERIFY(d.Refusal().contains("position"));
  Click(&d, "TemCellPreset");
  QVERIFY(d.Refusal().isEmpty());
  Child<QListWidget>(&d, "Positions")->item(1)->setText(" ");
  QVERIFY(d.Refusal().contains("2"));

  // More than a campaign file holds.
  for (int i = 0; i < 64; ++i) initial.Positions.push_back({"P" + std::to_string(i), ""});
  CampaignDialog full(initial, false, nullptr);
  QVERIFY(full.Refusal().isEmpty());
  initial.Positions.push_back({"one too many", ""});
  CampaignDialog over(initial, false, nullptr);
  QVERIFY(over.Refusal().contains("64"));
}

void CampaignDialogTest::runKeptForAPositionOfTheSameName() {
  CampaignDialog d(Sample(), false, nullptr);
  d.show();
  auto* list = Child<QListWidget>(&d, "Positions");
  list->item(1)->setText("Y, rotated");  // renamed: a new position
  list->setCurrentRow(0);
  Click(&d, "MoveDown");  // X moves, keeping its run
  Click(&d, "AddPosition");
  TypeName(list, "Y");  // the old name again: the old run
  const Campaign c = d.Edited();
  const std::vector<CampaignPosition> expected = {
      {"Y, rotated", ""}, {"X", "X-RUN.MZ"}, {"Z", ""}, {"Y", "Y-RUN.MZ"}};
  QVERIFY(c.Positions == expected);
}

void CampaignDialogTest::operatorReturnsTheCampaignOrNothing() {
  QtOperator op;
  WhenModal([](QWidget* w) {
    auto* d = qobject_cast<CampaignDialog*>(w);
    if (d == nullptr) return;
    Child<QLineEdit>(d, "Eut")->setText("Amplifier");
    Child<QDialogButtonBox>(d, "Buttons")->button(QDialogButtonBox::Ok)->click();
  });
  const auto edited = op.EditCampaign(Sample(), false);
  QVERIFY(edited.has_value());
  Campaign expected = Sample();
  expected.Eut = "Amplifier";
  QVERIFY(*edited == expected);

  WhenModal([](QWidget* w) {
    auto* d = qobject_cast<CampaignDialog*>(w);
    if (d == nullptr) return;
    Child<QLineEdit>(d, "Eut")->setText("Amplifier");
    Child<QDialogButtonBox>(d, "Buttons")->button(QDialogButtonBox::Cancel)->click();
  });
  QVERIFY(!op.EditCampaign(Sample(), false).has_value());
}

namespace {
// Shows a Continue / Stop question and acts on it; `captions` receives the
// captions of its buttons.
Answer AskContinueStop(QtOperator& op, std::function<void(QMessageBox*)> act,
                       QStringList& captions) {
  auto seen = std::make_shared<QStringList>();
  WhenModal([act, seen](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) return;
    for (QAbstractButton* b : box->buttons()) *seen << b->text();
    act(box);
  });
  const Answer a =
      op.Message(MessageKind::Confirmation, "Field too low. Go on?", Buttons::ContinueStop);
  captions = *seen;
  captions.sort();
  return a;
}
}  // namespace

void CampaignDialogTest::continueStopAnswersYesOrNo() {
  QtOperator op;
  QStringList captions;
  const auto pressed = [](const char* caption) {
    return [caption](QMessageBox* b) {
      if (QPushButton* button = ButtonCaptioned(b, caption)) {
        button->click();
      } else {
        b->reject();  // no such button: the captions compared below differ
      }
    };
  };
  QVERIFY(AskContinueStop(op, pressed("Continue"), captions) == Answer::Yes);
  QCOMPARE(captions, QStringList({"Continue", "Stop"}));
  QVERIFY(AskContinueStop(op, pressed("Stop"), captions) == Answer::No);
  QCOMPARE(captions, QStringList({"Continue", "Stop"}));
  // Enter presses Continue, the default button; Esc is Stop.
  bool continueIsDefault = false;
  QVERIFY(AskContinueStop(
              op,
              [&](QMessageBox* b) {
                continueIsDefault = b->defaultButton() == ButtonCaptioned(b, "Continue");
                QTest::keyClick(b, Qt::Key_Return);
              },
              captions) == Answer::Yes);
  QVERIFY(continueIsDefault);
  QVERIFY(AskContinueStop(
              op, [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, captions) ==
          Answer::No);

  // Yes / No is still Yes / No.
  WhenModal([](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::No)->click();
  });
  QVERIFY(op.Message(MessageKind::Confirmation, "Close?", Buttons::YesNo) == Answer::No);
}

QTEST_MAIN(CampaignDialogTest)
#include "campaign_dialog_test.moc"
