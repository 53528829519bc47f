#pragma once
// Answers the modal windows of a widget test in order, as an operator would:
// each step waits until a modal window it can act on is on top, then acts on
// it from a fresh event (so that a step that opens a further modal window does
// not hold up the next step).
#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>

namespace mz::test {

class ModalScript : public QObject {
 public:
  struct Step {
    std::function<bool(QWidget*)> ready;  // the right window is on top
    std::function<void(QWidget*)> act;    // may open a further modal window
  };

  ModalScript() {
    poll_.setInterval(10);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    poll_.start();
  }

  // The message box on top: records its text and presses the button.
  ModalScript& Answer(QMessageBox::StandardButton button) {
    steps_.push_back({[button](QWidget* w) {
                        auto* box = qobject_cast<QMessageBox*>(w);
                        return box != nullptr && box->button(button) != nullptr;
                      },
                      [this, button](QWidget* w) {
                        auto* box = qobject_cast<QMessageBox*>(w);
                        texts.push_back(box->text());
                        box->button(button)->click();
                      }});
    return *this;
  }
  // The colour picker on top: chooses c, or cancels when c is invalid.
  ModalScript& Pick(QColor c) {
    steps_.push_back({[](QWidget* w) { return qobject_cast<QColorDialog*>(w) != nullptr; },
                      [c](QWidget* w) {
                        auto* dialog = qobject_cast<QColorDialog*>(w);
                        if (c.isValid()) {
                          dialog->setCurrentColor(c);
                          dialog->accept();
                        } else {
                          dialog->reject();
                        }
                      }});
    return *this;
  }
  // A button of the named dialog on top, by its caption.
  ModalScript& Click(const QString& dialog, const QString& caption) {
    steps_.push_back({[dialog](QWidget* w) { return w->objectName() == dialog; },
                      [caption](QWidget* w) {
                        for (auto* b : w->findChildren<QPushButton*>()) {
                          if (b->text() == caption) {
                            b->click();
                            return;
                          }
                        }
                        qWarning("no button %s", qPrintable(caption));
                      }});
    return *this;
  }
  // Whatever modal window is on top: records its caption and closes it
  // without acting (No on a question, Cancel on a dialog).
  ModalScript& Dismiss() {
    steps_.push_back({[](QWidget*) { return true; },
                      [this](QWidget* w) {
                        captions.push_back(w->windowTitle());
                        if (auto* box = qobject_cast<QMessageBox*>(w)) {
                          if (auto* no = box->button(QMessageBox::No)) {
                            texts.push_back(box->text());
                            no->click();
                            return;
                          }
                        }
                        if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->reject();
                      }});
    return *this;
  }
  // Any other action on the named dialog on top.
  ModalScript& On(const QString& dialog, std::function<void(QWidget*)> act) {
    steps_.push_back({[dialog](QWidget* w) { return w->objectName() == dialog; }, act});
    return *this;
  }

  // Once the steps are done, a modal window on top is recorded in
  // `unexpected` (a message box's text, another window's caption) and closed,
  // so that a check that no window comes fails instead of waiting on it.
  ModalScript& CloseUnexpected() {
    closeUnexpected_ = true;
    return *this;
  }

  bool done() const { return steps_.empty(); }
  QStringList texts;       // texts of the message boxes answered
  QStringList captions;    // captions of the windows dismissed
  QStringList unexpected;  // windows that came when no step was left

 private:
  void Poll() {
    if (pending_ || (steps_.empty() && !closeUnexpected_)) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this, modal] {
      pending_ = false;
      if (QApplication::activeModalWidget() != modal) return;
      if (steps_.empty()) {
        if (closeUnexpected_) CloseUnexpectedWindow(modal);
        return;
      }
      if (!steps_.front().ready(modal)) return;  // not yet: the next poll looks again
      const Step step = steps_.front();
      steps_.pop_front();
      step.act(modal);
    });
  }

  void CloseUnexpectedWindow(QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    unexpected.push_back(box != nullptr ? box->text() : w->windowTitle());
    if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->done(0);
  }

  QTimer poll_;
  std::deque<Step> steps_;
  bool pending_ = false;
  bool closeUnexpected_ = false;
};

}  // namespace mz::test
