// vantrel-cli channels duplicates and check, run on the fixtures.
#include <gtest/gtest.h>
#include <QProcess>
#include <QStringList>

#include <string>

#include "support/TempDir.h"

namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

CliRun Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  CliRun run;
  if (!process.waitForFinished(120000)) return run;
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

CliRun Cli(const QStringList& args) { return Run(QStringLiteral(VANTREL_CLI_PATH), args); }

QString Data(const char* name) { return QStringLiteral(VANTREL_TEST_DATA "/channels/") + QString::fromLatin1(name); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// 60 TV services of which 12 repeat another's ids, some of them three times.
std::string MakeDupes(vantrel::test::TempDir& dir) {
  const std::string path = dir.File("dupes.xml");
  const CliRun made = Run(QStringLiteral("/usr/bin/python3"), {Data("make_channel_list.py"), "dupes", "60", Q(path)});
  EXPECT_EQ(made.exitCode, 0) << made.err;
  return path;
}

TEST(ListToolsCli, DuplicatesPrintsTheGroupsAndDeleteWritesTheCleanedList) {
  vantrel::test::TempDir dir;
  const std::string dupes = MakeDupes(dir);
  const CliRun found = Cli({"channels", "duplicates", Q(dupes)});
  ASSERT_EQ(found.exitCode, 0) << found.err;
  EXPECT_NE(found.out.find("\nduplicates: 12\n"), std::string::npos) << found.out;
  EXPECT_NE(found.out.find("\tTV\tkeep\t"), std::string::npos);
  EXPECT_NE(found.out.find("\tTV\tdelete\t"), std::string::npos);
  const CliRun loose = Cli({"channels", "duplicates", Q(dupes), "--loose"});
  EXPECT_NE(loose.out.find("\nduplicates: 12\n"), std::string::npos) << "capitals and doubled spaces: " << loose.out;

  const std::string cleaned = dir.File("cleaned.xml");
  const CliRun deleted = Cli({"channels", "duplicates", Q(dupes), "--delete", Q(cleaned)});
  ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
  EXPECT_NE(Cli({"channels", "info", Q(cleaned)}).out.find("tv services: 48\n"), std::string::npos);
  EXPECT_NE(Cli({"channels", "duplicates", Q(cleaned)}).out.find("groups: 0\nduplicates: 0\n"), std::string::npos);
  EXPECT_EQ(Cli({"channels", "check", Q(cleaned)}).exitCode, 0) << "numbered 1..n, no member without service";
}

TEST(ListToolsCli, CheckExitsOneWithFindingsAndFixWritesTheFixedList) {
  vantrel::test::TempDir dir;
  const CliRun clean = Cli({"channels", "check", Data("channel-small.xml")});
  EXPECT_EQ(clean.exitCode, 0) << clean.out;
  EXPECT_TRUE(clean.out.empty()) << clean.out;

  // Service 3 numbered 40: the favourites of the file would point elsewhere.
  std::string text = vantrel::test::ReadFile(Data("channel-small.xml").toStdString());
  const std::string from = "<ChannelNo>3</ChannelNo>\n<Name>arte HD";
  ASSERT_NE(text.find(from), std::string::npos);
  text.replace(text.find(from), from.size(), "<ChannelNo>40</ChannelNo>\n<Name>arte HD");
  const std::string bad = dir.Write("bad.xml", text);
  const CliRun found = Cli({"channels", "check", Q(bad)});
  EXPECT_EQ(found.exitCode, 1);
  EXPECT_NE(found.out.find("fixable\tTV channels are not numbered 1 to 33: the channel at position 3 has number 40."),
            std::string::npos)
      << found.out;

  const std::string fixed = dir.File("fixed.xml");
  const CliRun fix = Cli({"channels", "check", Q(bad), "--fix", Q(fixed)});
  EXPECT_EQ(fix.exitCode, 0) << fix.out << fix.err;
  EXPECT_EQ(Cli({"channels", "check", Q(fixed)}).exitCode, 0);
  EXPECT_EQ(Cli({"channels", "check", Q(dir.File("missing.xml"))}).exitCode, 2);
}

}  // namespace
