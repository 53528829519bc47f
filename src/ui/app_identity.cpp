#include "ui/app_identity.h"

#include <QApplication>
#include <QIcon>

namespace mz {

void SetApplicationIdentity() {
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
