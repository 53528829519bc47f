// Every control the logic uses is bound to a widget of the real main window
// or of one of its dialogs, so that nothing the logic writes goes unseen.
#include <QStringList>
#include <QTest>
#include <algorithm>
#include <iterator>

#include "core/control_names.h"
#include "ui/adapters/control_binder.h"
#include "ui/demo_window.h"
#include "ui/qt_program.h"

using namespace mz;

namespace {

// Controls that live in the model only.
constexpr ControlId kModelOnly[] = {
    // The window's caption: the main window follows its changes itself.
    ctl::MainCaption,
};

bool IsModelOnly(ControlId id) {
  return std::find(std::begin(kModelOnly), std::end(kModelOnly), id) != std::end(kModelOnly);
}

}  // namespace

class BoundControlsTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(Open()); }
  void cleanup() { Close(); }
  void everyControlHasAWidget();
};

void BoundControlsTest::everyControlHasAWidget() {
  const ControlBinder& binder = program->binder();
  QStringList unbound;
  for (const ControlId id : ctl::kAllControls) {
    if (IsModelOnly(id)) {
      QVERIFY2(!binder.IsBound(id), id.Name().data());  // the list stays true
    } else if (!binder.IsBound(id)) {
      unbound << QString::fromLatin1(id.Name().data(), static_cast<qsizetype>(id.Name().size()));
    }
  }
  QVERIFY2(unbound.isEmpty(), qPrintable("unbound: " + unbound.join(", ")));
}

QTEST_MAIN(BoundControlsTest)
#include "bound_controls_test.moc"
