#pragma once
// Mirrors the Controls model and the widgets both ways: a model change updates
// the widget bound to that name; an operator's edit writes the model.
#include <QObject>
#include <QPointer>
#include <map>
#include <string>

#include "core/controls.h"

class QAction;
class QWidget;

namespace mz {

class ControlBinder : public QObject {
  Q_OBJECT
 public:
  explicit ControlBinder(Controls& controls, QObject* parent = nullptr);
  ~ControlBinder() override;

  // Binds a widget or menu action to a name. The model takes the widget's
  // present state where the model holds nothing yet; from then on the model
  // leads.
  void Bind(const std::string& name, QWidget* widget);
  void Bind(const std::string& name, QAction* action);

  Controls& controls() { return controls_; }

 private:
  void Apply(const ControlChange& change);
  void ApplyTo(QObject* target, const std::string& name, Prop prop);
  void ApplyCell(QObject* target, const std::string& value);
  void Seed(const std::string& name, QObject* target);

  Controls& controls_;
  int subscription_ = 0;
  std::multimap<std::string, QPointer<QObject>, std::less<>> targets_;
};

}  // namespace mz
