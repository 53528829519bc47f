#pragma once
// Mirrors the Controls model and the widgets both ways: a model change updates
// the widget bound to that name; an operator's edit writes the model.
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <string>
#include <string_view>

#include "core/controls.h"

class QAction;
class QWidget;

namespace mz {

// A widget's object name: the control's designer name, without the name of
// another window in front ("Warns.Label1" is the label "Label1" of "Warns").
inline QString ObjectName(ControlId id) {
  std::string_view name = id.Name();
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

class ControlBinder : public QObject {
  Q_OBJECT
 public:
  explicit ControlBinder(Controls& controls, QObject* parent = nullptr);
  ~ControlBinder() override;

  // Binds a widget or menu action to a name. The model takes the widget's
  // present state where the model holds nothing yet; from then on the model
  // leads.
  void Bind(ControlId id, QWidget* widget);
  void Bind(ControlId id, QAction* action);

  // Whether a widget or action was bound to the control.
  bool IsBound(ControlId id) const;

  Controls& controls() { return controls_; }

 private:
  void Apply(const ControlChange& change);
  void ApplyTo(QObject* target, ControlId id, Prop prop);
  void ApplyCell(QObject* target, const std::string& value);
  void Seed(ControlId id, QObject* target);
  // Records the target; the id returned views the name the binder keeps, so
  // that the handlers connected to the widget may hold it.
  ControlId Add(ControlId id, QObject* target);

  Controls& controls_;
  int subscription_ = 0;
  std::multimap<std::string, QPointer<QObject>, std::less<>> targets_;
};

}  // namespace mz
