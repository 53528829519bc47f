#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "ui/windows/aux_dialogs.h"
#include "ui/windows/dialog_kit.h"

namespace mz {

namespace {

// The program's emblem: a field cell's two plates with a modulated carrier
// running between them.
class Logo : public QWidget {
 public:
  explicit Logo(QWidget* parent) : QWidget(parent) { setFixedSize(96, 96); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    QLinearGradient sky(r.topLeft(), r.bottomRight());
    sky.setColorAt(0, QColor(20, 48, 110));
    sky.setColorAt(1, QColor(8, 20, 56));
    p.setPen(QPen(QColor(200, 200, 200), 1.5));
    p.setBrush(sky);
    p.drawRoundedRect(r, 12, 12);

    // The plates.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 200, 215));
    p.drawRect(QRectF(16, 20, 64, 5));
    p.drawRect(QRectF(16, 71, 64, 5));

    // A pulsed carrier between them.
    QPainterPath wave;
    for (int i = 0; i <= 64; ++i) {
      const double x = 16 + i;
      const double envelope = 0.55 + 0.45 * std::sin(i * 3.14159265 / 32.0);
      const double y = 48 - 16 * envelope * std::sin(i * 3.14159265 / 4.0);
      if (i == 0) {
        wave.moveTo(x, y);
      } else {
        wave.lineTo(x, y);
      }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 196, 40), 2.0));
    p.drawPath(wave);

    QFont f("Arial");
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 78, 96, 16), Qt::AlignCenter, "MZ4800");
  }
};

}  // namespace

AboutBox::AboutBox(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QDialog(parent, kDialogFlags | Qt::WindowCloseButtonHint) {
  (void)ctx;
  setObjectName(ctl::AboutForm);
  setWindowTitle("About MZ4800");
  setModal(true);
  setFont(ProgramFont());
  setFixedSize(400, 196);

  auto* logo = new Logo(this);
  logo->move(16, 16);

  QFont bold = font();
  bold.setBold(true);
  bold.setPixelSize(14);
  auto* product = new QLabel("Halvorn Synthesiser MZ4800", this);
  product->setFont(bold);
  product->setGeometry(128, 16, 264, 20);
  auto* role = new QLabel("Control program for radiated immunity testing", this);
  role->setGeometry(128, 38, 264, 18);
  auto* version = new QLabel(kSoftwareVersion, this);
  version->setObjectName(ObjectName(ctl::AboutVersion));
  version->setGeometry(128, 60, 264, 18);
  binder.Bind(ctl::AboutVersion, version);
  auto* maker = new QLabel("Halvorn Electronics, RF Test Systems", this);
  maker->setGeometry(128, 88, 264, 18);
  auto* contact = new QLabel("Service and calibration through your Halvorn agent", this);
  contact->setGeometry(128, 108, 264, 34);
  contact->setWordWrap(true);

  auto* back = DialogButton(this, "Back", {160, 152, 80, 28});
  back->setDefault(true);
  connect(back, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace mz
