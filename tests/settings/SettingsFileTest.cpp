// Saving and reading named settings: the exact bytes written, the example file read as
// written, the compatibility check, the 16-bit limits, replacing and deleting settings,
// and the names the file cannot hold.
#include "tests/settings/SettingsTestSupport.h"

#include <QProcess>

namespace morvane::test {
namespace {

using SettingsFileTest = SettingsTest;

const char kMonthlySection[] =
    "[Monthly]\r\nTypeFormat=0\r\nSeparator=1\r\nDelimiter=0\r\nNbFields=3\r\n"
    "ExportFldNames=1\r\nExportHtmlFldNames=1\r\nExportHtmlTableName=0\r\nHtmlTitle=\r\n"
    "HtmlTemplate=\r\nRecFieldSeparator=0\r\nRecSepOther=0\r\nMaxLines=0\r\nOemConvert=0\r\n"
    "Upper=0\r\nStartingLine=1\r\nField0=CustomerID\r\nField1=Name\r\nField2=City\r\n";

TEST_F(SettingsFileTest, SavesEveryKeyInOrderWithCrLf) {
    CustomersSource();
    session_->Setting().SetSeparator(1);
    session_->Setting().ExportFldNames = true;
    session_->SetSettingName("Monthly");
    session_->SaveSetting();
    EXPECT_EQ(IniBytes(), QByteArray(kMonthlySection) + "\r\n[settings]\r\nMonthly=\r\n");
}

TEST_F(SettingsFileTest, SavedFileIsReadByAPlainIniReader) {
    CustomersSource();
    session_->Setting().TypeFormat = 1;
    session_->Setting().HtmlTitle = "Sales = 100%";
    session_->SetSettingName("Fixed one");
    session_->SaveSetting();
    session_->SetSettingName("Other");
    session_->SaveSetting();
    const QString script = QStringLiteral(
        "import configparser,sys\n"
        "c=configparser.ConfigParser(strict=True,interpolation=None,delimiters=('=',))\n"
        "c.optionxform=str\n"
        "c.read(sys.argv[1],encoding='cp1252')\n"
        "print(list(c['settings'].keys()))\n"
        "s=c['Fixed one']\n"
        "print(s['TypeFormat'],s['HtmlTitle'],s['Field2'],s['Size0'],s['Size1'],s['Size2'])\n");
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, IniPath()});
    ASSERT_TRUE(python.waitForFinished(20000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()),
              QStringLiteral("['Fixed one', 'Other']\n1 Sales = 100% City 5 30 15\n"));
}

TEST_F(SettingsFileTest, ReadsTheExampleFileAsWritten) {
    CreateSource(
        {{"Extra", dbLong}, {"City", dbText, 15}, {"Name", dbText, 30}, {"CustomerID", dbText, 5}},
        {});
    OpenSource();
    WriteIni(
        "[settings]\nMonthly=\n\n[Monthly]\nTypeFormat=0\nSeparator=1\nDelimiter=0\nNbFields=3\n"
        "ExportFldNames=1\nExportHtmlFldNames=1\nExportHtmlTableName=0\nHtmlTitle=\n"
        "HtmlTemplate=\nRecFieldSeparator=0\nRecSepOther=0\nMaxLines=0\nOemConvert=0\nUpper=0\n"
        "StartingLine=1\nField0=CustomerID\nField1=Name\nField2=City\n\n[general]\n"
        "LastFile=C:\\Exports\\customers.txt\n");
    session_->Setting().MaxLines = 99;
    session_->SetSettingName("monthly");  // names match in any case
    ASSERT_TRUE(session_->ReadSetting());
    const ExportSetting& s = session_->Setting();
    EXPECT_EQ(s.TypeFormat, 0);
    EXPECT_EQ(s.SeparatorChar, QChar(';'));
    EXPECT_EQ(s.DelimiterChar, QChar('"'));
    EXPECT_TRUE(s.UseDelimiter);
    EXPECT_TRUE(s.ExportFldNames);
    EXPECT_TRUE(s.ExportHtmlFldNames);
    EXPECT_FALSE(s.ExportHtmlTableName);
    EXPECT_EQ(s.RecFieldSeparator, 0);
    EXPECT_EQ(s.RecSepOther, QChar(0));
    EXPECT_TRUE(s.ExportAll);
    EXPECT_EQ(s.MaxLines, 0);
    EXPECT_EQ(s.StartingLine, 1);
    EXPECT_EQ(s.nbFields, 3);
    EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"CustomerID", "Name", "City"}));
    EXPECT_EQ(session_->Lists().Available().Names(), QStringList({"Extra"}));
    EXPECT_EQ(session_->Lists().Fixed().Names(),
              QStringList({"Extra", "City", "Name", "CustomerID"}));
    EXPECT_EQ(s.Size[1], 15);
    EXPECT_EQ(s.Size[3], 5);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SettingsFileTest, FixedSettingRestoresOrderAndWidths) {
    CustomersSource();
    session_->Setting().TypeFormat = 1;
    session_->Lists().Selected().Assign(QStringList({"City", "CustomerID"}));
    session_->Setting().Size[2] = 9;   // City
    session_->Setting().Size[0] = 12;  // CustomerID
    session_->SetSettingName("Fix");
    session_->SaveSetting();
    EXPECT_TRUE(IniText().contains("Field0=City\r\nField1=CustomerID\r\nSize0=9\r\nSize1=12\r\n"));

    auto reader = FreshSession();
    reader->SetSettingName("Fix");
    ASSERT_TRUE(reader->ReadSetting());
    EXPECT_EQ(reader->Lists().Selected().Names(), QStringList({"City", "CustomerID"}));
    EXPECT_EQ(reader->Lists().Available().Names(), QStringList({"Name"}));
    EXPECT_EQ(reader->Lists().Fixed().Names(), QStringList({"City", "CustomerID", "Name"}));
    EXPECT_EQ(reader->Setting().Size[0], 12);
    EXPECT_EQ(reader->Setting().Size[1], 30);  // not selected: the defined size
    EXPECT_EQ(reader->Setting().Size[2], 9);
}

TEST_F(SettingsFileTest, StoredWidthsAreRoundedOrIgnored) {
    struct Case {
        const char* stored;
        short width;  // the width after reading (30, the defined size, when ignored)
    };
    const Case cases[] = {{"7", 7},    {" 12 ", 12},       {"2.5", 2},        {"3.5", 4},
                          {"1e1", 10}, {"", 30},           {"abc", 30},       {"40000", 30},
                          {"nan", 30}, {"-32768", -32768}, {"32767.4", 32767}};
    CustomersSource();
    for (const Case& c : cases) {
        WriteIni(QStringLiteral("[W]\nTypeFormat=1\nNbFields=1\nField0=Name\nSize0=%1\n")
                     .arg(QLatin1String(c.stored)));
        session_->SetSettingName("W");
        ASSERT_TRUE(session_->ReadSetting()) << c.stored;
        EXPECT_EQ(session_->Setting().Size[1], c.width) << c.stored;
    }
}

TEST_F(SettingsFileTest, RecordSeparatorOtherIsStoredAsItsCode) {
    struct Case {
        int recFieldSeparator;
        QChar other;
        const char* stored;
        QChar readBack;
    };
    const Case cases[] = {{3, '|', "124", '|'},
                          {3, QChar(0xE9), "233", QChar(0xE9)},
                          {0, '|', "0", QChar(0)},
                          {1, '|', "0", QChar(0)},
                          {4, '|', "0", QChar(0)}};
    CustomersSource();
    for (const Case& c : cases) {
        session_->Setting().RecFieldSeparator = c.recFieldSeparator;
        session_->Setting().RecSepOther = c.other;
        session_->SetSettingName("R");
        session_->SaveSetting();
        EXPECT_TRUE(IniText().contains(QStringLiteral("\r\nRecSepOther=%1\r\n").arg(c.stored)))
            << c.stored;
        auto reader = FreshSession();
        reader->SetSettingName("R");
        ASSERT_TRUE(reader->ReadSetting());
        EXPECT_EQ(reader->Setting().RecSepOther, c.readBack) << c.stored;
        EXPECT_EQ(reader->Setting().RecFieldSeparator, c.recFieldSeparator);
    }
}

TEST_F(SettingsFileTest, RecordRangeTravelsAsSixteenBitValues) {
    struct Case {
        bool exportAll;
        int maxLines;
        int startingLine;
        const char* maxLinesKey;      // the line written, "" when none
        const char* startingLineKey;  // the line written, "" when none
        bool readExportAll;
        int readMaxLines;
        int readStartingLine;
    };
    const Case cases[] = {
        {true, 500, 3, "MaxLines=0", "StartingLine=3", true, 0, 3},
        {false, 500, 2, "MaxLines=500", "StartingLine=2", false, 500, 2},
        {false, 32767, 32767, "MaxLines=32767", "StartingLine=32767", false, 32767, 32767},
        // Too large for the file: not written, so the keys' defaults come back.
        {false, 40000, 40000, "", "", true, 0, 1},
    };
    CustomersSource();
    for (const Case& c : cases) {
        session_->Setting().ExportAll = c.exportAll;
        session_->Setting().MaxLines = c.maxLines;
        session_->Setting().StartingLine = c.startingLine;
        session_->SetSettingName("Range");
        session_->SaveSetting();
        const QString text = IniText();
        EXPECT_EQ(text.contains("MaxLines="), *c.maxLinesKey != 0) << c.maxLines;
        EXPECT_EQ(text.contains("StartingLine="), *c.startingLineKey != 0) << c.startingLine;
        if (*c.maxLinesKey) {
            EXPECT_TRUE(text.contains(QLatin1String(c.maxLinesKey) + "\r\n"));
        }
        if (*c.startingLineKey) {
            EXPECT_TRUE(text.contains(QLatin1String(c.startingLineKey) + "\r\n"));
        }
        auto reader = FreshSession();
        reader->SetSettingName("Range");
        reader->Setting().MaxLines = 7;
        ASSERT_TRUE(reader->ReadSetting());
        EXPECT_EQ(reader->Setting().ExportAll, c.readExportAll) << c.maxLines;
        EXPECT_EQ(reader->Setting().MaxLines, c.readMaxLines) << c.maxLines;
        EXPECT_EQ(reader->Setting().StartingLine, c.readStartingLine) << c.startingLine;
    }
}

TEST_F(SettingsFileTest, StoredIntegerAboveSixteenBitsLeavesTheFieldAsItWas) {
    CustomersSource();
    WriteIni(
        "[Big]\nTypeFormat=40000\nSeparator=99999\nRecFieldSeparator=-40000\nStartingLine=32768\n"
        "MaxLines=70000\nRecSepOther=300\nUpper=70000\n");
    ExportSetting& s = session_->Setting();
    s.TypeFormat = 2;
    s.SetSeparator(3);
    s.RecFieldSeparator = 1;
    s.StartingLine = 4;
    s.MaxLines = 6;
    s.RecSepOther = QChar('#');
    session_->SetSettingName("Big");
    ASSERT_TRUE(session_->ReadSetting());
    EXPECT_EQ(s.TypeFormat, 2);
    EXPECT_EQ(s.Separator, 3);
    EXPECT_EQ(s.SeparatorChar, QChar('\t'));
    EXPECT_EQ(s.RecFieldSeparator, 1);
    EXPECT_EQ(s.StartingLine, 4);
    EXPECT_EQ(s.MaxLines, 6);
    EXPECT_FALSE(s.ExportAll);
    EXPECT_EQ(s.RecSepOther, QChar('#'));  // no character of code 300
    EXPECT_TRUE(s.Upper);                  // a Boolean is any nonzero number
}

TEST_F(SettingsFileTest, LookupPositionsOutOfRangeGiveASpace) {
    struct Case {
        const char* keys;
        QChar separator;
        QChar delimiter;
        bool useDelimiter;
    };
    const Case cases[] = {{"Separator=7\nDelimiter=0", ' ', '"', true},
                          {"Separator=3\nDelimiter=1", '\t', '\'', true},
                          {"Separator=-1\nDelimiter=2", ' ', ' ', false},
                          {"TypeFormat=1\nDelimiter=0", ',', '"', false}};
    CustomersSource();
    for (const Case& c : cases) {
        WriteIni(QStringLiteral("[L]\n") + QLatin1String(c.keys) + "\n");
        session_->SetSettingName("L");
        ASSERT_TRUE(session_->ReadSetting());
        EXPECT_EQ(session_->Setting().SeparatorChar, c.separator) << c.keys;
        EXPECT_EQ(session_->Setting().DelimiterChar, c.delimiter) << c.keys;
        EXPECT_EQ(session_->Setting().UseDelimiter, c.useDelimiter) << c.keys;
    }
}

TEST_F(SettingsFileTest, IncompatibleSettingReportsAndLeavesTheDefaults) {
    const char* cases[] = {
        "NbFields=2\nField0=Name\nField1=Phone\n",          // a field the source lacks
        "NbFields=3\nField0=Name\nField1=City\n",           // more fields than names
        "NbFields=2\nField0=Name\nField1=\nField2=City\n",  // an empty name counts
        "NbFields=1\nField0=name\n",                        // exact case only
    };
    CustomersSource();
    for (const char* fields : cases) {
        prompter_.ClearRecords();
        WriteIni(QStringLiteral("[Bad]\nTypeFormat=1\nSeparator=2\nHtmlTitle=Kept title\n"
                                "HtmlTemplate=/t/page.html\n") +
                 QLatin1String(fields));
        session_->SetSettingName("Bad");
        EXPECT_FALSE(session_->ReadSetting()) << fields;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << fields;
        EXPECT_EQ(boxes[0].text, "This setting is incompatible with current table : Customers");
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_EQ(boxes[0].buttons, MsgButtons::OK);
        const ExportSetting& s = session_->Setting();
        EXPECT_EQ(s.TypeFormat, 0);
        EXPECT_EQ(s.SeparatorChar, QChar(','));
        EXPECT_EQ(s.nbFields, 3);
        EXPECT_EQ(session_->Lists().Selected().Names(),
                  QStringList({"CustomerID", "Name", "City"}));
        EXPECT_EQ(s.HtmlTitle, "Kept title");
        EXPECT_EQ(s.HtmlTemplate, "/t/page.html");
    }
}

TEST_F(SettingsFileTest, MissingOrDamagedFileReadsAsDefaults) {
    QByteArray garbage;
    for (int i = 0; i < 3000; ++i) garbage.append(static_cast<char>((i * 37) % 256));
    struct Case {
        const char* what;
        QByteArray bytes;  // empty with exists false: no file at all
        bool exists;
    };
    const Case cases[] = {{"missing", {}, false},
                          {"empty", {}, true},
                          {"garbage", garbage, true},
                          {"other section only", "[Other]\r\nNbFields=1\r\nField0=X\r\n", true}};
    CustomersSource();
    for (const Case& c : cases) {
        QFile::remove(IniPath());
        if (c.exists) WriteBytes(IniPath(), c.bytes);
        prompter_.ClearRecords();
        session_->SetSettingName("Absent");
        EXPECT_TRUE(session_->ReadSetting()) << c.what;
        EXPECT_TRUE(Boxes().empty()) << c.what;
        EXPECT_TRUE(session_->Lists().Selected().Names().isEmpty()) << c.what;
        EXPECT_EQ(session_->Lists().Available().Names(),
                  QStringList({"CustomerID", "Name", "City"}))
            << c.what;
        EXPECT_TRUE(session_->Setting().ExportHtmlFldNames) << c.what;
        EXPECT_EQ(session_->Setting().StartingLine, 1) << c.what;
        EXPECT_EQ(IniBytes(), c.bytes) << c.what;  // reading never writes
    }
}

TEST_F(SettingsFileTest, DuplicatesAndLongLinesFirstWins) {
    CustomersSource();
    const QString longTitle(5000, QChar('t'));
    WriteIni(QStringLiteral("[D]\nNbFields=1\nField0=City\nField0=Name\nHtmlTitle=") + longTitle +
             "\n[D]\nField0=CustomerID\nUpper=1\n");
    session_->SetSettingName("D");
    ASSERT_TRUE(session_->ReadSetting());
    EXPECT_EQ(session_->Lists().Selected().Names(), QStringList({"City"}));
    EXPECT_EQ(session_->Setting().HtmlTitle, QString(4095, QChar('t')));
    EXPECT_FALSE(session_->Setting().Upper);  // the second section is never seen

    // Saving replaces every copy of the section, so no older duplicate shows through.
    session_->SaveSetting();
    EXPECT_EQ(IniText().count("[D]"), 1);
    EXPECT_FALSE(IniText().contains("Field0=CustomerID"));
}

TEST_F(SettingsFileTest, SavingReplacesTheSectionAndKeepsOtherSettings) {
    CustomersSource();
    WriteIni(
        "[settings]\nKeep=\n\n[Keep]\nTypeFormat=2\nNbFields=1\nField0=City\n\n[general]\n"
        "LastFile=/x/out.txt\n");
    session_->Setting().TypeFormat = 1;
    session_->SetSettingName("Switch");
    session_->SaveSetting();
    EXPECT_TRUE(IniText().contains("Size2=15"));
    session_->Setting().TypeFormat = 0;
    session_->Lists().Selected().Assign(QStringList({"Name"}));
    session_->SaveSetting();
    const QString text = IniText();
    EXPECT_FALSE(text.contains("Size")) << text.toStdString();
    EXPECT_FALSE(text.contains("Field1="));
    EXPECT_TRUE(
        text.startsWith("[settings]\r\nKeep=\r\nSwitch=\r\n\r\n[Keep]\r\nTypeFormat=2\r\n"
                        "NbFields=1\r\nField0=City\r\n\r\n[general]\r\n"
                        "LastFile=/x/out.txt\r\n\r\n[Switch]\r\nTypeFormat=0\r\n"))
        << text.toStdString();
    QStringList names;
    session_->ListSettings(names);
    EXPECT_EQ(names, QStringList({"Keep", "Switch"}));
}

TEST_F(SettingsFileTest, NamesTheFileCannotHoldAreRefusedAndWriteNothing) {
    const QString refused[] = {"",
                               "settings",
                               "General",
                               " lead",
                               "trail ",
                               "a]b",
                               "a=b",
                               "a\nb",
                               "a\rb",
                               "[x",
                               ";x",
                               QString::fromUtf8("Москва"),
                               QString(QChar(0))};
    const QString accepted[] = {"Monthly", "a[b", "x;y", "Sales 2024", "Caf\u00e9"};
    CustomersSource();
    WriteIni("[settings]\nKeep=\n\n[Keep]\nNbFields=0\n\n[general]\nLastFile=/x\n");
    const QByteArray before = IniBytes();
    for (const QString& name : refused) {
        EXPECT_FALSE(ExportSession::SettingNameProblem(name).isEmpty()) << name.toStdString();
        session_->SetSettingName(name);
        session_->SaveSetting();
        EXPECT_EQ(IniBytes(), before) << name.toStdString();
    }
    for (const QString& name : accepted) {
        EXPECT_TRUE(ExportSession::SettingNameProblem(name).isEmpty()) << name.toStdString();
        session_->SetSettingName(name);
        session_->SaveSetting();
        auto reader = FreshSession();
        reader->SetSettingName(name);
        EXPECT_TRUE(reader->ReadSetting());
        EXPECT_EQ(reader->Lists().Selected().Names(), session_->Lists().Selected().Names())
            << name.toStdString();
    }
    QStringList names;
    session_->ListSettings(names);
    EXPECT_EQ(names, QStringList({"Keep", "Monthly", "a[b", "x;y", "Sales 2024", "Caf\u00e9"}));
}

TEST_F(SettingsFileTest, ListingAndDeleting) {
    struct Case {
        const char* file;
        QStringList names;
    };
    const Case cases[] = {{"", {}},
                          {"[settings]\n", {}},
                          {"[settings]\nB=\nA=\nb=\n", {"B", "A"}},
                          {"[settings]\nDefaults=\nA=\n", {}},
                          {"[settings]\nA=\nDefault=\n", {"A", "Default"}}};
    for (const Case& c : cases) {
        WriteIni(QLatin1String(c.file));
        QStringList names;
        session_->ListSettings(names);
        EXPECT_EQ(names, c.names) << c.file;
    }

    WriteIni(
        "[settings]\nA=\ngeneral=\nB=\n\n[A]\nNbFields=0\n\n[general]\nLastFile=/x\n\n[B]\n"
        "Upper=1\n");
    session_->DeleteSetting("a");
    session_->DeleteSetting("general");  // only the entry: the section is the file's own
    EXPECT_EQ(IniText(),
              "[settings]\r\nB=\r\n\r\n[general]\r\nLastFile=/x\r\n\r\n[B]\r\nUpper=1\r\n");
}

}  // namespace
}  // namespace morvane::test
