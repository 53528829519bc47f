// Help > Contents and Help > Topic Search in the real window: each opens the
// user manual shipped with the program, at its top and at its index, through
// the window's URL opener (here the test's, in place of the desktop's); a
// manual that is nowhere, or a desktop that cannot open it, is an error box.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <vector>

#include "ui/demo_window.h"
#include "ui/modal_script.h"
#include "ui/user_manual.h"

using namespace mz;

class HelpMenuTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(Open());
    opened.clear();
    program->window().SetUrlOpener([this](const QUrl& url) {
      opened.push_back(url);
      return openSucceeds;
    });
    openSucceeds = true;
  }
  void cleanup() { Close(); }
  void itemsAreShownAndHelpOnHelpIsNot();
  void contentsOpensTheManualPage();
  void topicSearchOpensTheManualAtItsIndex();
  void aManualFoundNowhereNamesWhereItWasLooked();
  void aDesktopThatCannotOpenItIsAnError();

 private:
  QAction* Contents() { return W<QAction>("Contents1"); }
  QAction* TopicSearch() { return W<QAction>("TopicSearch1"); }

  std::vector<QUrl> opened;
  bool openSucceeds = true;
};

void HelpMenuTest::itemsAreShownAndHelpOnHelpIsNot() {
  QVERIFY(Contents()->isVisible());
  QVERIFY(Contents()->isEnabled());
  QVERIFY(TopicSearch()->isVisible());
  QVERIFY(TopicSearch()->isEnabled());
  QVERIFY(!W<QAction>("HowtoUseHelp1")->isVisible());
}

void HelpMenuTest::contentsOpensTheManualPage() {
  Contents()->trigger();
  QCOMPARE(opened.size(), std::size_t{1});
  const QUrl url = opened.front();
  QVERIFY(url.isLocalFile());
  QVERIFY(!url.hasFragment());
  const QFileInfo page(url.toLocalFile());
  QVERIFY2(page.isFile(), qPrintable(url.toString()));
  QVERIFY(page.isAbsolute());
  QCOMPARE(page.fileName(), QString(kManualPage));
  // Found again at each click, the same page.
  Contents()->trigger();
  QCOMPARE(opened.size(), std::size_t{2});
  QCOMPARE(opened.back(), url);
}

void HelpMenuTest::topicSearchOpensTheManualAtItsIndex() {
  TopicSearch()->trigger();
  QCOMPARE(opened.size(), std::size_t{1});
  const QUrl url = opened.front();
  QVERIFY(url.isLocalFile());
  QCOMPARE(url.fragment(), QString("index"));
  QCOMPARE(QFileInfo(url.toLocalFile()).fileName(), QString(kManualPage));
  // The page holds the anchor the URL points at, and links to its topics.
  QFile page(url.toLocalFile());
  QVERIFY(page.open(QIODevice::ReadOnly));
  const QByteArray html = page.readAll();
  QVERIFY(html.contains("id=\"index\""));
  QVERIFY(html.count("href=\"#") >= 10);
}

void HelpMenuTest::aManualFoundNowhereNamesWhereItWasLooked() {
  test::TempFolder empty;
  const std::vector<std::filesystem::path> folders{empty.path() / "share" / "doc" / "mz4800",
                                                   empty.path() / "docs" / "manual"};
  program->window().SetManualFolders(folders);
  test::ModalScript script;
  script.Answer(QMessageBox::Ok).Answer(QMessageBox::Ok);
  Contents()->trigger();
  TopicSearch()->trigger();
  QTRY_VERIFY(script.done());
  QVERIFY(opened.empty());
  QCOMPARE(script.texts.size(), 2);
  for (const QString& text : script.texts) {
    QVERIFY2(text.contains("manual.html"), qPrintable(text));
    for (const auto& folder : folders) {
      QVERIFY2(text.contains(QString::fromStdString(folder.string())), qPrintable(text));
    }
  }

  // A folder that holds it, later in the list, is found.
  std::filesystem::create_directories(folders[1]);
  QFile page(QString::fromStdString((folders[1] / kManualPage).string()));
  QVERIFY(page.open(QIODevice::WriteOnly));
  page.close();
  TopicSearch()->trigger();
  QCOMPARE(opened.size(), std::size_t{1});
  QCOMPARE(opened.front(), ManualUrl(folders[1] / kManualPage, "index"));
}

void HelpMenuTest::aDesktopThatCannotOpenItIsAnError() {
  openSucceeds = false;
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  Contents()->trigger();
  QTRY_VERIFY(script.done());
  QCOMPARE(opened.size(), std::size_t{1});
  QCOMPARE(script.texts.size(), 1);
  QVERIFY2(script.texts.front().contains(opened.front().toString()),
           qPrintable(script.texts.front()));
}

QTEST_MAIN(HelpMenuTest)
#include "help_menu_test.moc"
