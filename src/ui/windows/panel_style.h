#pragma once
// Small pieces shared by the main window's panel builders.
#include <QFont>
#include <QLabel>
#include <QString>

namespace mz {

// A bold caption, centred in r.
inline QLabel* Heading(QWidget* parent, const QString& text, QRect r, int pixelSize = 12) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  f.setPixelSize(pixelSize);
  label->setFont(f);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(r);
  return label;
}

// A plain caption at r, aligned as asked (left and centred vertically by default).
inline QLabel* Caption(QWidget* parent, const QString& text, QRect r,
                       Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(align);
  label->setGeometry(r);
  return label;
}

}  // namespace mz
