// Runs the built vantrel-cli on the fixture and on broken files.
#include <gtest/gtest.h>
#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

CliRun Cli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(VANTREL_CLI_PATH), args);
  CliRun run;
  if (!process.waitForFinished(120000)) return run;
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

QString Fixture() { return QStringLiteral(VANTREL_TEST_DATA "/channels/channel-small.xml"); }

TEST(ChannelsCli, Info) {
  const CliRun run = Cli({"channels", "info", Fixture()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("satellites: 4\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("transponders: 7\n"), std::string::npos);
  EXPECT_NE(run.out.find("configurations: 4\n"), std::string::npos);
  EXPECT_NE(run.out.find("tv services: 33\n"), std::string::npos);
  EXPECT_NE(run.out.find("radio services: 7\n"), std::string::npos);
  EXPECT_NE(run.out.find("tv groups: 3\n"), std::string::npos);
  EXPECT_NE(run.out.find("tv group members: 14\n"), std::string::npos);
  EXPECT_NE(run.out.find("radio groups: 2\n"), std::string::npos);
  EXPECT_NE(run.out.find("radio group members: 4\n"), std::string::npos);
}

TEST(ChannelsCli, RewriteGivesTheSameBytes) {
  vantrel::test::TempDir dir;
  const std::string out = dir.File("out.xml");
  const CliRun run = Cli({"channels", "rewrite", Fixture(), QString::fromStdString(out)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(vantrel::test::ReadFile(out) == vantrel::test::ReadFile(Fixture().toStdString()));
}

TEST(ChannelsCli, RewriteToAnUnwritablePlaceFails) {
  vantrel::test::TempDir dir;
  const std::string blocker = dir.Write("plain", "x");
  const CliRun run = Cli({"channels", "rewrite", Fixture(), QString::fromStdString(blocker + "/out.xml")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Can not save the file"), std::string::npos) << run.err;
  EXPECT_EQ(vantrel::test::ReadFile(blocker), "x");
}

TEST(ChannelsCli, Csv) {
  const CliRun run = Cli({"channels", "csv", Fixture()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.rfind("number,name,type,provider,satellite,position,frequency,symbol_rate,polarisation,fec,band,"
                          "sid,onid,tsid,vpid,apid,pcrpid,flags\n",
                          0),
            0u);
  std::size_t lines = 0;
  for (const char c : run.out) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 33u + 7u);
  EXPECT_NE(run.out.find("\n1,Das Erste HD,TV,"), std::string::npos);
  EXPECT_NE(
      run.out.find(",Astra 1KR/1L/1M/1N,19.2(E),11362,22000,H,DVBS2 8PSK 2/3,Ku,28000,1,1079,5100,5102,5100,hd\n"),
      std::string::npos)
      << run.out.substr(0, 400);
  EXPECT_NE(run.out.find(",Thor 5/6/7 & Intelsat 10-02,0.8(W),"), std::string::npos);
  EXPECT_NE(run.out.find("\"\"\"Quoted\"\" TV\""), std::string::npos) << "quotes doubled inside a quoted field";
  EXPECT_NE(run.out.find(",Radio,"), std::string::npos);
  EXPECT_NE(run.out.find("Первый канал"), std::string::npos);
}

TEST(ChannelsCli, CsvExportAndImport) {
  vantrel::test::TempDir dir;
  const QString csv = QString::fromStdString(dir.File("tv.csv"));
  ASSERT_EQ(Cli({"channels", "export-csv", Fixture(), csv}).exitCode, 0);
  std::string bytes = vantrel::test::ReadFile(csv.toStdString());
  EXPECT_EQ(bytes.rfind("number,name,type,provider,satellite,position,frequency,symbol_rate,band,scrambled,sid,onid,"
                        "tsid,vpid,apid,pcrpid,lock,skip,hd\n",
                        0),
            0u);
  std::size_t lines = 0;
  for (const char c : bytes) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 33u);
  const QString radio = QString::fromStdString(dir.File("radio.csv"));
  ASSERT_EQ(Cli({"channels", "export-csv", Fixture(), radio, "--radio"}).exitCode, 0);
  EXPECT_NE(vantrel::test::ReadFile(radio.toStdString()).find(",Deutschlandfunk,RADIO,"), std::string::npos);

  const std::size_t at = bytes.find("\n1,Das Erste HD,");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 16, "\n2,Das Erste,");
  bytes.replace(bytes.find("\n2,ZDF HD,"), 10, "\n1,ZDF HD,");
  const std::string edited = dir.Write("edited.csv", bytes);
  const std::string out = dir.File("out.xml");
  const CliRun run =
      Cli({"channels", "import-csv", Fixture(), QString::fromStdString(edited), QString::fromStdString(out)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("changed: 2\n"), std::string::npos) << run.out;
  const CliRun listed = Cli({"channels", "csv", QString::fromStdString(out)});
  EXPECT_NE(listed.out.find("\n1,ZDF HD,TV,"), std::string::npos) << listed.out.substr(0, 300);
  EXPECT_NE(listed.out.find("\n2,Das Erste,TV,"), std::string::npos);

  // A row that matches nothing: listed, and nothing written unless --skip-bad.
  const std::string bad = dir.Write("bad.csv", "sid;onid;tsid;name\n1;2;3;X\n");
  const std::string never = dir.File("never.xml");
  const CliRun refused =
      Cli({"channels", "import-csv", Fixture(), QString::fromStdString(bad), QString::fromStdString(never)});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("bad.csv:2: No service has these ids: 1/3/2"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(never));
  EXPECT_EQ(Cli({"channels", "import-csv", Fixture(), QString::fromStdString(bad), QString::fromStdString(never),
                 "--skip-bad"})
                .exitCode,
            0);
  EXPECT_TRUE(std::filesystem::exists(never));
}

TEST(ChannelsCli, ApplyReference) {
  vantrel::test::TempDir dir;
  const std::string names = dir.Write("names.txt", "zdf hd\nARTE HD\nNowhere\n");
  const std::string out = dir.File("out.xml");
  const CliRun run =
      Cli({"channels", "apply-reference", Fixture(), QString::fromStdString(names), QString::fromStdString(out)});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("matched: 2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("not found: 1\n  Nowhere\n"), std::string::npos) << run.out;
  const CliRun listed = Cli({"channels", "csv", QString::fromStdString(out)});
  EXPECT_NE(listed.out.find("\n1,ZDF HD,TV,"), std::string::npos) << listed.out.substr(0, 300);
  EXPECT_NE(listed.out.find("\n2,arte HD,TV,"), std::string::npos);
  EXPECT_NE(listed.out.find("\n3,Das Erste HD,TV,"), std::string::npos);

  // The list as its own reference, groups and all, changes nothing.
  const CliRun self =
      Cli({"channels", "apply-reference", Fixture(), Fixture(), QString::fromStdString(out), "--favourites"});
  ASSERT_EQ(self.exitCode, 0) << self.err;
  EXPECT_NE(self.out.find("matched: 40\nmoved: 0\n"), std::string::npos) << self.out;
  EXPECT_TRUE(vantrel::test::ReadFile(out) == vantrel::test::ReadFile(Fixture().toStdString()));
}

TEST(ChannelsCli, ABrokenFileExitsOneWithTheReason) {
  vantrel::test::TempDir dir;
  const std::string broken = dir.Write("broken.xml", "<?xml version=\"1.0\"?>\r\n<Servicelist>\r\n<Service>\n<Name>x");
  for (const char* command : {"info", "csv"}) {
    const CliRun run = Cli({"channels", command, QString::fromStdString(broken)});
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("XML loading error"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not well-formed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("broken.xml"), std::string::npos) << run.err;
    if (std::string(command) == "csv") {
      EXPECT_TRUE(run.out.empty());
    }
  }
  const std::string out = dir.File("never.xml");
  const CliRun rewrite = Cli({"channels", "rewrite", QString::fromStdString(broken), QString::fromStdString(out)});
  EXPECT_EQ(rewrite.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(ChannelsCli, MissingFileAndWrongDocument) {
  vantrel::test::TempDir dir;
  const CliRun missing = Cli({"channels", "info", QString::fromStdString(dir.File("nope.xml"))});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;
  const std::string other = dir.Write("other.xml", "<html><body/></html>");
  const CliRun wrong = Cli({"channels", "info", QString::fromStdString(other)});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("not a channel list"), std::string::npos) << wrong.err;
}

TEST(ChannelsCli, Usage) {
  EXPECT_EQ(Cli({"channels"}).exitCode, 1);
  EXPECT_EQ(Cli({"channels", "info"}).exitCode, 1);
  const CliRun run = Cli({"channels", "bogus", "x"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("usage"), std::string::npos);
}

}  // namespace
