#include "ui/adapters/control_binder.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTableWidget>

#include "ui/adapters/qt_colour.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/lamp.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/string_grid.h"

namespace mz {

namespace {
QString Q(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<int>(s.size()));
}
std::string S(const QString& s) {
  return s.toLocal8Bit().toStdString();
}

// A cell change travels as "col,row=text".
bool ParseCell(const std::string& value, int& col, int& row, std::string& text) {
  const auto comma = value.find(',');
  const auto equals = value.find('=');
  if (comma == std::string::npos || equals == std::string::npos || equals < comma) return false;
  col = std::stoi(value.substr(0, comma));
  row = std::stoi(value.substr(comma + 1, equals - comma - 1));
  text = value.substr(equals + 1);
  return true;
}
}  // namespace

ControlBinder::ControlBinder(Controls& controls, QObject* parent)
    : QObject(parent), controls_(controls) {
  subscription_ = controls_.Subscribe([this](const ControlChange& c) { Apply(c); });
}

ControlBinder::~ControlBinder() {
  controls_.Unsubscribe(subscription_);
}

void ControlBinder::Seed(ControlId name, QObject* target) {
  if (controls_.Has(name)) {
    for (Prop p : {Prop::Text, Prop::Colour, Prop::FontColour, Prop::Visible, Prop::Enabled,
                   Prop::Checked, Prop::ItemIndex}) {
      ApplyTo(target, name, p);
    }
    if (auto* g = qobject_cast<StringGrid*>(target)) {
      for (int row = 0; row < g->gridRows(); ++row) {
        for (int col = 0; col < g->columnCount(); ++col) {
          g->setCell(col, row, Q(controls_.Cell(name, col, row)));
        }
      }
    }
    return;
  }
  // First binding: the model learns the widget's design-time state.
  if (auto* a = qobject_cast<QAction*>(target)) {
    controls_.SetText(name, S(a->text()));
    controls_.SetEnabled(name, a->isEnabled());
    controls_.SetVisible(name, a->isVisible());
    controls_.SetChecked(name, a->isChecked());
    return;
  }
  auto* w = qobject_cast<QWidget*>(target);
  if (w == nullptr) return;
  if (auto* l = qobject_cast<QLabel*>(w)) controls_.SetText(name, S(l->text()));
  if (auto* e = qobject_cast<QLineEdit*>(w)) controls_.SetText(name, S(e->text()));
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    controls_.SetText(name, S(b->text()));
    controls_.SetChecked(name, b->isChecked());
  }
  if (auto* g = qobject_cast<RadioGroup*>(w)) controls_.SetItemIndex(name, g->itemIndex());
  if (auto* c = qobject_cast<QComboBox*>(w)) controls_.SetItemIndex(name, c->currentIndex());
  if (auto* lamp = qobject_cast<Lamp*>(w)) controls_.SetColour(name, lamp->colour());
  if (auto* swatch = qobject_cast<ColourButton*>(w)) controls_.SetColour(name, swatch->colour());
  controls_.SetEnabled(name, w->isEnabled());
  controls_.SetVisible(name, !w->isHidden());
}

ControlId ControlBinder::Add(ControlId id, QObject* target) {
  const auto it = targets_.emplace(std::string(id.Name()), target);
  return ControlId{it->first};
}

bool ControlBinder::IsBound(ControlId id) const {
  return targets_.find(id.Name()) != targets_.end();
}

void ControlBinder::Bind(ControlId id, QWidget* widget) {
  Seed(id, widget);
  const ControlId name = Add(id, widget);
  if (auto* e = qobject_cast<QLineEdit*>(widget)) {
    connect(e, &QLineEdit::textEdited, this,
            [this, name](const QString& t) { controls_.SetText(name, S(t)); });
  }
  if (auto* b = qobject_cast<QAbstractButton*>(widget); b && b->isCheckable()) {
    connect(b, &QAbstractButton::toggled, this,
            [this, name](bool on) { controls_.SetChecked(name, on); });
  }
  if (auto* c = qobject_cast<QComboBox*>(widget)) {
    connect(c, &QComboBox::activated, this,
            [this, name](int i) { controls_.SetItemIndex(name, i); });
  }
  if (auto* g = qobject_cast<RadioGroup*>(widget)) {
    connect(g, &RadioGroup::clicked, this,
            [this, name](int i) { controls_.SetItemIndex(name, i); });
  }
  if (auto* g = qobject_cast<StringGrid*>(widget)) {
    connect(g, &StringGrid::cellEdited, this, [this, name](int col, int row, const QString& t) {
      controls_.SetCell(name, col, row, S(t));
    });
  } else if (auto* t = qobject_cast<QTableWidget*>(widget)) {
    connect(t, &QTableWidget::cellChanged, this, [this, name, t](int row, int col) {
      if (auto* item = t->item(row, col)) controls_.SetCell(name, col, row, S(item->text()));
    });
  }
  if (auto* m = qobject_cast<QPlainTextEdit*>(widget)) {
    connect(m, &QPlainTextEdit::textChanged, this,
            [this, name, m] { controls_.SetText(name, S(m->toPlainText())); });
  }
}

void ControlBinder::Bind(ControlId id, QAction* action) {
  Seed(id, action);
  const ControlId name = Add(id, action);
  if (action->isCheckable()) {
    connect(action, &QAction::toggled, this,
            [this, name](bool on) { controls_.SetChecked(name, on); });
  }
}

void ControlBinder::Apply(const ControlChange& change) {
  auto [begin, end] = targets_.equal_range(change.Name);
  if (begin == end) return;
  const ControlId id{begin->first};
  for (auto it = begin; it != end; ++it) {
    if (!it->second) continue;
    if (change.Property == Prop::Cell) {
      ApplyCell(it->second, change.Value);
    } else {
      ApplyTo(it->second, id, change.Property);
    }
  }
}

void ControlBinder::ApplyCell(QObject* target, const std::string& value) {
  int col = 0;
  int row = 0;
  std::string text;
  if (!ParseCell(value, col, row, text)) return;
  if (auto* g = qobject_cast<StringGrid*>(target)) {
    g->setCell(col, row, Q(text));
  } else if (auto* t = qobject_cast<QTableWidget*>(target)) {
    if (row < 0 || row >= t->rowCount() || col < 0 || col >= t->columnCount()) return;
    const QSignalBlocker block(t);
    if (auto* item = t->item(row, col)) {
      item->setText(Q(text));
    } else {
      t->setItem(row, col, new QTableWidgetItem(Q(text)));
    }
  }
}

void ControlBinder::ApplyTo(QObject* target, ControlId name, Prop prop) {
  const auto& c = controls_;
  if (auto* a = qobject_cast<QAction*>(target)) {
    switch (prop) {
      case Prop::Text:
        a->setText(Q(c.Text(name)));
        break;
      case Prop::Visible:
        a->setVisible(c.Visible(name));
        break;
      case Prop::Enabled:
        a->setEnabled(c.Enabled(name));
        break;
      case Prop::Checked:
        a->setChecked(c.Checked(name));
        break;
      default:
        break;
    }
    return;
  }
  auto* w = qobject_cast<QWidget*>(target);
  if (w == nullptr) return;
  switch (prop) {
    case Prop::Text: {
      const QString t = Q(c.Text(name));
      if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
      else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != t) e->setText(t);
      } else if (qobject_cast<ColourButton*>(w) != nullptr) {
      }  // its caption is fixed
      else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(t);
      else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(t);
      else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        if (m->toPlainText() != t) m->setPlainText(t);
      }
      break;
    }
    case Prop::Colour:
      if (auto* lamp = qobject_cast<Lamp*>(w))
        lamp->SetColour(c.ColourOf(name));
      else if (auto* swatch = qobject_cast<ColourButton*>(w))
        swatch->SetColour(c.ColourOf(name));
      break;
    case Prop::FontColour: {
      QPalette p = w->palette();
      p.setColor(QPalette::WindowText, ToQColor(c.FontColour(name)));
      w->setPalette(p);
      break;
    }
    case Prop::Visible:
      w->setVisible(c.Visible(name));
      break;
    case Prop::Enabled:
      w->setEnabled(c.Enabled(name));
      break;
    case Prop::Checked:
      if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(c.Checked(name));
      break;
    case Prop::ItemIndex:
      if (auto* cb = qobject_cast<QComboBox*>(w))
        cb->setCurrentIndex(c.ItemIndex(name));
      else if (auto* g = qobject_cast<RadioGroup*>(w))
        g->setItemIndex(c.ItemIndex(name));
      break;
    case Prop::Cell:
      break;  // cells travel with their change (ApplyCell)
  }
}

}  // namespace mz
