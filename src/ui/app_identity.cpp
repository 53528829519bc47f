#include "ui/app_identity.h"

#include <QApplication>
#include <QIcon>

// The icon lives in a resource of a static library, which the linker keeps
// only when it is named; Q_INIT_RESOURCE must be used outside a namespace.
static void LoadIconResource() {
  Q_INIT_RESOURCE(icons);
}

namespace mz {

void SetApplicationIdentity() {
  LoadIconResource();
  QCoreApplication::setOrganizationName("Halvorn");
  QCoreApplication::setOrganizationDomain("example.org");
  QCoreApplication::setApplicationName("MZ4800");
#ifdef MZ_VERSION
  QCoreApplication::setApplicationVersion(MZ_VERSION);
#endif
  QGuiApplication::setDesktopFileName(kDesktopId);
  // The PNG rendering of the scalable icon: Qt reads it without the SVG
  // plug-in, and scales it for the title bar and the task switcher.
  QApplication::setWindowIcon(QIcon(":/icons/mz4800.png"));
}

}  // namespace mz
