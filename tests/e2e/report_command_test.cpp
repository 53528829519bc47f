// mz4800 --report on the hand-written results file, run as a user runs it
// (no display, no program folder): the PDF's text holds the title, every
// recorded row and the page numbers; a results file that cannot be read
// gives exit code 1 and a message on standard error.
#include <unistd.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <regex>

#include "support/campaign_folder.h"
#include "support/test_program.h"

namespace {

QString Program() {
  return qEnvironmentVariable("MZ_PROGRAM");
}

QProcessEnvironment Headless(const QTemporaryDir& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  env.insert("HOME", home.path());
  return env;
}

struct Run {
  int code = -1;
  QString err;
};

Run Report(const QTemporaryDir& home, const QStringList& args,
           const QProcessEnvironment& env = {}) {
  QProcess p;
  p.setProcessEnvironment(env.isEmpty() ? Headless(home) : env);
  p.start(Program(), QStringList{"--report"} + args);
  if (!p.waitForFinished(60'000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

class ReportCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void reportOfTheGoldenResultsFile();
  void reportOfAKeptRunTellsHowTheRunWent();
  void unreadableResultsAndAWrongCommandLine();
  void anOutputThatIsTheResultsFileIsRefused();
  void aDelimiterThatCanBePartOfANumberIsRefused();
  void reportOfACampaign();
  void aReportWritesNothingOnStandardError();
};

void ReportCommandTest::reportOfTheGoldenResultsFile() {
  QVERIFY(!Program().isEmpty());
  QTemporaryDir home;
  const QString pdf = home.filePath("report.pdf");
  const QString golden = QString::fromStdString(mz::test::Golden("results.mz").string());
  const Run r = Report(home, {golden, pdf});
  QCOMPARE(r.code, 0);

  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  QVERIFY(text.waitForFinished(30'000));
  QCOMPARE(text.exitCode(), 0);
  const std::string out = text.readAllStandardOutput().toStdString();
  QVERIFY(out.find("Immunity run 3") != std::string::npos);
  QVERIFY(out.find("Proc A") != std::string::npos);
  QVERIFY(out.find("5 March 2001 14:07") != std::string::npos);
  QVERIFY(out.find("Page 1 of 3") != std::string::npos);
  QVERIFY(out.find("Page 3 of 3") != std::string::npos);
  // The two recorded steps: number, MHz, V/M achieved, the custom target, EUT.
  QVERIFY(std::regex_search(out, std::regex(R"(\n\s*1\s+80\.000\s+3\.05\s+8\.70\s+OK)")));
  QVERIFY(std::regex_search(out, std::regex(R"(\n\s*2\s+80\.800\s+2\.90\s+8\.76\s+FAULT)")));
  // Without a journal the report does not know how the run went.
  for (const char* name : {"Run started", "Run ended", "Run duration", "How the run ended"}) {
    QVERIFY2(std::regex_search(out, std::regex(std::string(name) + R"(\s+not recorded\n)")), name);
  }
  QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
}

// A kept run: its journal beside the results tells when the run started and
// ended, how long it took and how it ended.
void ReportCommandTest::reportOfAKeptRunTellsHowTheRunWent() {
  QTemporaryDir home;
  QVERIFY(QFile::copy(QString::fromStdString(mz::test::Golden("results.mz").string()),
                      home.filePath("2001-02-26_10-00-00.MZ")));
  QVERIFY(QFile::copy(QString::fromStdString(mz::test::Golden("journal.csv").string()),
                      home.filePath("2001-02-26_10-00-00.csv")));
  const QString pdf = home.filePath("kept.pdf");
  const Run r = Report(home, {home.filePath("2001-02-26_10-00-00.MZ"), pdf});
  QCOMPARE(r.code, 0);
  QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  QVERIFY(text.waitForFinished(30'000));
  QCOMPARE(text.exitCode(), 0);
  const std::string out = text.readAllStandardOutput().toStdString();
  QVERIFY2(std::regex_search(out, std::regex(R"(\nRun started\s+2001-02-26 10:00:00\n)")),
           out.c_str());
  QVERIFY(std::regex_search(out, std::regex(R"(\nRun ended\s+2001-02-26 10:00:03\n)")));
  QVERIFY(std::regex_search(out, std::regex(R"(\nRun duration\s+00:00:03\n)")));
  QVERIFY(std::regex_search(
      out, std::regex(R"(\nHow the run ended\s+The Run has been Stopped by User\.\n)")));
  QVERIFY(out.find("Page 1 of 3") != std::string::npos);
}

void ReportCommandTest::unreadableResultsAndAWrongCommandLine() {
  QTemporaryDir home;
  const QString pdf = home.filePath("report.pdf");
  Run r = Report(home, {home.filePath("missing.MZ"), pdf});
  QCOMPARE(r.code, 1);
  QVERIFY2(r.err.contains("missing.MZ"), qPrintable(r.err));
  QVERIFY(!QFile::exists(pdf));

  // A folder or a device is named, not read (it once gave std::bad_alloc).
  for (const QString& special : {home.path(), QString("/dev/zero")}) {
    r = Report(home, {special, pdf});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("Cannot open file " + special + ": it is"), qPrintable(r.err));
    QVERIFY(!QFile::exists(pdf));
  }

  r = Report(home, {"only-one-file.MZ"});
  QCOMPARE(r.code, 2);
  QVERIFY2(r.err.contains("--report RESULTS.MZ OUT.pdf"), qPrintable(r.err));
}

// The report written over the results would destroy them: refused, by the
// same name, another path, a symbolic link or a hard link, and the file kept
// byte for byte.
void ReportCommandTest::anOutputThatIsTheResultsFileIsRefused() {
  QTemporaryDir home;
  const QString results = home.filePath("run.MZ");
  QVERIFY(QFile::copy(QString::fromStdString(mz::test::Golden("results.mz").string()), results));
  const std::string before = mz::test::ReadFile(results.toStdString());
  QVERIFY(QFile::link(results, home.filePath("link.pdf")));
  QVERIFY(::link(QFile::encodeName(results).constData(),
                 QFile::encodeName(home.filePath("hard.pdf")).constData()) == 0);
  QDir::setCurrent(home.path());
  for (const QString& out : {results, QString("./run.MZ"), home.filePath("sub/../run.MZ"),
                             home.filePath("link.pdf"), home.filePath("hard.pdf")}) {
    QDir(home.path()).mkpath("sub");
    const Run r = Report(home, {results, out});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("is the results file") && r.err.contains(out), qPrintable(r.err));
    QCOMPARE(mz::test::ReadFile(results.toStdString()), before);
  }
  // Another file is written as always.
  QCOMPARE(Report(home, {results, home.filePath("run.pdf")}).code, 0);
  QVERIFY(QFileInfo(home.filePath("run.pdf")).size() > 0);
}

// Rows written with a point, a digit or another character of numbers as
// their delimiter cannot be read back: the report refuses them, naming the
// heading line, and writes nothing.
void ReportCommandTest::aDelimiterThatCanBePartOfANumberIsRefused() {
  QTemporaryDir home;
  const std::string golden = mz::test::ReadFile(mz::test::Golden("results.mz"));
  for (const char d : {'.', '5', '-', 'e', ' '}) {
    std::string text = golden;
    for (auto i = text.find("\r\nfinish\r\n"); i < text.size(); ++i) {
      if (text[i] == ';') text[i] = d;  // the heading and the rows
    }
    const QString results = home.filePath("dot.MZ");
    mz::test::WriteFile(results.toStdString(), text);
    const QString pdf = home.filePath("dot.pdf");
    const Run r = Report(home, {results, pdf});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(results + ", line 91: The delimiter \"" + QChar(d) +
                            "\" of the result rows can be part of a number"),
             qPrintable(r.err));
    QVERIFY(!QFile::exists(pdf));
  }
}

// A campaign of three positions, read from its folder: one PDF with the EUT,
// each position with its verdict, and the pages numbered.
void ReportCommandTest::reportOfACampaign() {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext is not installed");
  QTemporaryDir home;
  QVERIFY(QDir(home.path()).mkpath("Campaigns/Radio"));
  const QString folder = home.filePath("Campaigns/Radio");
  mz::test::WriteThreePositionCampaign(folder.toStdString());
  const QString pdf = home.filePath("campaign.pdf");
  // The extension is recognised in any case.
  QVERIFY(QFile::rename(folder + "/Radio.MZC", folder + "/Radio.mzc"));
  const Run r = Report(home, {folder + "/Radio.mzc", pdf});
  QCOMPARE(r.code, 0);

  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  QVERIFY(text.waitForFinished(30'000));
  QCOMPARE(text.exitCode(), 0);
  const std::string out = text.readAllStandardOutput().toStdString();
  QVERIFY2(out.find("Radio set RS-200") != std::string::npos, out.c_str());
  QVERIFY(out.find("Verdict: FAIL") != std::string::npos);
  QVERIFY(std::regex_search(out, std::regex(R"(\n\s*X\s+9 of 9\s+none\s+PASS)")));
  QVERIFY(std::regex_search(
      out, std::regex(R"(\n\s*Y\s+9 of 9\s+2 from 146\.410 to 177\.156 MHz\s+FAIL)")));
  QVERIFY(std::regex_search(out, std::regex(R"(\n\s*Z\s+4 of 9\s+none\s+OPEN)")));
  QVERIFY(out.find("Page 1 of 8") != std::string::npos);
  QVERIFY(out.find("Page 8 of 8") != std::string::npos);
  QVERIFY(out.find("Position: Z") != std::string::npos);

  // The PDF may not be written over a file of the campaign.
  const Run over = Report(home, {folder + "/Radio.mzc", folder + "/SETUP.STP"});
  QCOMPARE(over.code, 1);
  QVERIFY2(over.err.contains("SETUP.STP"), qPrintable(over.err));
}

// A report that succeeds says nothing, also where the user has no runtime
// folder (cron, ssh) or one the window toolkit would complain about; the
// private one it then uses is gone afterwards.
void ReportCommandTest::aReportWritesNothingOnStandardError() {
  QTemporaryDir home;
  QVERIFY(QDir(home.path()).mkpath("tmp"));
  QVERIFY(QDir(home.path()).mkpath("Campaigns/Radio"));
  mz::test::WriteThreePositionCampaign(home.filePath("Campaigns/Radio").toStdString());
  const QString golden = QString::fromStdString(mz::test::Golden("results.mz").string());
  QProcessEnvironment env = Headless(home);
  env.insert("TMPDIR", home.filePath("tmp"));
  QVERIFY(QDir(home.path()).mkdir("open"));
  QVERIFY(QFile::setPermissions(home.filePath("open"),
                                QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther));
  for (const QString& runtime : {QString(), home.filePath("open"), home.filePath("missing")}) {
    if (runtime.isEmpty()) {
      env.remove("XDG_RUNTIME_DIR");
    } else {
      env.insert("XDG_RUNTIME_DIR", runtime);
    }
    for (const QString& input : {golden, home.filePath("Campaigns/Radio/Radio.MZC")}) {
      const QString pdf = home.filePath("quiet.pdf");
      QFile::remove(pdf);
      const Run r = Report(home, {input, pdf}, env);
      QCOMPARE(r.code, 0);
      QVERIFY2(r.err.isEmpty(), qPrintable(runtime + ": " + r.err));
      QVERIFY(QFileInfo(pdf).size() > 0);
      QCOMPARE(QDir(home.filePath("tmp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
               QStringList{});
    }
  }
  QVERIFY(!QFileInfo::exists(home.filePath("missing")));  // not made by the report
}

QTEST_GUILESS_MAIN(ReportCommandTest)
#include "report_command_test.moc"
