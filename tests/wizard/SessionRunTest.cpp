// The export run of the text kinds, byte for byte: delimited, fixed-width and HTML tagged
// output, record ranges, the host events, conversions and the overwrite question.
#include "tests/wizard/SessionTestSupport.h"

#include <QDateTime>

namespace morvane::test {
namespace {

class SessionRunTest : public SessionTest {
  protected:
    //! A table with one text and one number field: Name "Rn" and Id n.
    void NumberedSource(int rows) {
        std::vector<Row> data;
        for (int id = 1; id <= rows; ++id) data.push_back({QStringLiteral("R%1").arg(id), id});
        CreateSource({{"Name", dbText, 6}, {"Id", dbLong}}, data);
        OpenSource();
    }
};

TEST_F(SessionRunTest, BatchExportOfCustomersWithDefaultsIsByteExact) {
    CreateSource({{"CustomerID", dbText, 5},
                  {"CompanyName", dbText, 40},
                  {"City", dbText, 15},
                  {"Orders", dbLong},
                  {"Balance", dbCurrency},
                  {"Since", dbDate},
                  {"Active", dbBoolean},
                  {"Photo", dbLongBinary}},
                 {{"ALFKI", "Alfreds Futterkiste", "Berlin", 6, 814.5, QDate(1999, 12, 31), true,
                   QByteArray("\x01\x02", 2)},
                  {"BOLID", QString::fromUtf8("Bólido, \"Comidas\""), QVariant(), QVariant(), 0.0,
                   QDateTime(QDate(2024, 2, 9), QTime(15, 4, 5)), false, QVariant()},
                  {QString::fromUtf8("ÉTÉ€"), QString::fromUtf8("Straße & Söhne"),
                   QString::fromUtf8("Москва"), -3, 1234.5678, QVariant(), true, QVariant()}});
    WriteBytes(OutPath(), "old contents");
    caller_.Properties.DataBaseName = SourcePath();
    caller_.Properties.TableName = "Customers";
    caller_.Properties.ExportFile = OutPath();
    caller_.Properties.OverWrite = true;
    caller_.BatchExport(prompter_, QString());

    const QByteArray expected =
        "\"ALFKI\",\"Alfreds Futterkiste\",\"Berlin\",6,814.5,12/31/1999,True,\r\n"
        "\"BOLID\",\"B\xF3lido, \"Comidas\"\",\"\",,0,2/9/2024 3:04:05 PM,False,\r\n"
        "\"\xC9T\xC9\x80\",\"Stra\xDF"
        "e & S\xF6hne\",\"??????\",-3,1234.5678,,True,\r\n";
    EXPECT_EQ(ReadBytes(OutPath()), expected);
    ExpectOnlySummary(3);
}

TEST_F(SessionRunTest, OverwriteQuestion) {
    struct Case {
        bool overWrite;
        std::optional<MsgResult> answer;  //!< the answer to the question, when asked
        bool replaced;
    };
    const Case cases[] = {{true, std::nullopt, true},
                          {false, MsgResult::OK, true},
                          {false, MsgResult::Cancel, false}};
    NumberedSource(2);
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        WriteBytes(OutPath(), "keep me");
        caller_.Properties.OverWrite = c.overWrite;
        if (c.answer) prompter_.QueueMsgBoxAnswer(*c.answer);
        const QByteArray bytes = Export();
        EXPECT_EQ(bytes,
                  c.replaced ? QByteArray("\"R1\",1\r\n\"R2\",2\r\n") : QByteArray("keep me"));
        const auto boxes = Boxes();
        size_t next = 0;
        if (c.answer) {
            ASSERT_GE(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "File already exists - overwrite?");
            EXPECT_EQ(boxes[0].buttons, MsgButtons::OKCancel);
            EXPECT_EQ(boxes[0].icon, MsgIcon::Question);
            EXPECT_EQ(boxes[0].defaultButton, 2);
            EXPECT_TRUE(boxes[0].title.isEmpty());
            next = 1;
        }
        EXPECT_EQ(boxes.size(), next + (c.replaced ? 1 : 0)) << "only the summary may follow";
        EXPECT_EQ(session_->LastRunCompleted(), c.replaced);
    }
}

TEST_F(SessionRunTest, ExistingFileDeclinedByDefaultButtonIsUntouched) {
    NumberedSource(1);
    WriteBytes(OutPath(), "keep me");
    Export();  // no answer queued: the box answers its default button, Cancel
    EXPECT_EQ(ReadBytes(OutPath()), "keep me");
    ASSERT_EQ(Boxes().size(), 1u);
}

TEST_F(SessionRunTest, WildcardInTheNameNeverTouchesMatchingFiles) {
    NumberedSource(1);
    WriteBytes(PathOf("out1.txt"), "other file");
    caller_.Properties.OverWrite = true;
    const QString path = PathOf("out?.txt");
    EXPECT_EQ(Export(path), "\"R1\",1\r\n");
    EXPECT_EQ(ReadBytes(PathOf("out1.txt")), "other file");
    ExpectOnlySummary(1);
}

TEST_F(SessionRunTest, RecordRanges) {
    struct Case {
        int startingLine;
        int maxLines;
        bool exportAll;
        int first;  //!< first exported Id, 0 for none
        int last;
    };
    const Case cases[] = {
        {1, 10, true, 1, 10}, {1, 3, true, 1, 10},    {3, 2, false, 3, 4},    {3, 0, false, 3, 10},
        {9, 5, false, 9, 10}, {10, 1, false, 10, 10}, {4, 100, false, 4, 10}, {0, 0, true, 1, 10},
        {11, 5, true, 0, 0},  {50, 1, false, 0, 0},   {1, 1, false, 1, 1},    {2, -4, false, 2, 10},
    };
    NumberedSource(10);
    caller_.Properties.OverWrite = true;
    session_->Lists().Selected().Assign(QStringList{"Id"});
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        session_->Setting().StartingLine = c.startingLine;
        session_->Setting().MaxLines = c.maxLines;
        session_->Setting().ExportAll = c.exportAll;
        QByteArray expected;
        for (int id = c.first; c.first > 0 && id <= c.last; ++id)
            expected += QByteArray::number(id) + "\r\n";
        EXPECT_EQ(Export(), expected) << c.startingLine << "/" << c.maxLines << "/" << c.exportAll;
        const int count = c.first > 0 ? c.last - c.first + 1 : 0;
        if (count > 0) {
            ExpectOnlySummary(count);
        } else {
            EXPECT_TRUE(Boxes().empty()) << "no summary after zero records";
        }
    }
}

TEST_F(SessionRunTest, NoSummaryWhenSwitchedOff) {
    NumberedSource(3);
    caller_.Properties.ShowSummary = false;
    EXPECT_EQ(Export(), "\"R1\",1\r\n\"R2\",2\r\n\"R3\",3\r\n");
    EXPECT_TRUE(prompter_.Records().empty());
    EXPECT_TRUE(session_->LastRunCompleted());
}

TEST_F(SessionRunTest, VariableLayouts) {
    struct Case {
        const char* name;
        int separator;
        int delimiter;
        bool header;
        int recSep;
        QByteArray expected;
    };
    const Case cases[] = {
        // The delimiter and the separator inside a value are written unchanged.
        {"defaults", 0, 0, false, 0, "\"a\"b\",1\r\n\"x;y\",\r\n"},
        {"header", 0, 0, true, 0, "\"Name\",\"Qty\"\r\n\"a\"b\",1\r\n\"x;y\",\r\n"},
        {"semicolon apostrophe", 1, 1, true, 1, "'Name';'Qty'\r'a\"b';1\r'x;y';\r"},
        {"tab no delimiter LF", 3, 2, true, 2, "Name\tQty\na\"b\t1\nx;y\t\n"},
        {"space other", 2, 0, false, 3, "\"a\"b\" 1|\"x;y\" |"},
        {"no separator", 0, 0, true, 4, "\"Name\",\"Qty\"\"a\"b\",1\"x;y\","},
    };
    CreateSource({{"Name", dbText, 10}, {"Qty", dbLong}}, {{"a\"b", 1}, {"x;y", QVariant()}});
    OpenSource();
    caller_.Properties.OverWrite = true;
    for (const Case& c : cases) {
        ExportSetting& s = session_->Setting();
        s.SetSeparator(c.separator);
        s.SetDelimiter(c.delimiter);
        s.RecomputeUseDelimiter();
        s.ExportFldNames = c.header;
        s.RecFieldSeparator = c.recSep;
        s.RecSepOther = u'|';
        EXPECT_EQ(Export(), c.expected) << c.name;
    }
}

TEST_F(SessionRunTest, FixedWidthsCutPadAndNeverTakeAHeader) {
    CreateSource({{"Name", dbText, 10},
                  {"Qty", dbLong},
                  {"Blob", dbLongBinary},
                  {"Code", dbText, 10},
                  {"Notes", dbMemo}},
                 {{"O'Brien", 5, QByteArray("zz"), "ABCDEF", "memo"},
                  {QVariant(), QVariant(), QVariant(), QString::fromUtf8("Жёл"), QVariant()},
                  {QString::fromUtf8("Straße"), 123456, QVariant(), "x", "y"}});
    OpenSource();
    ExportSetting& s = session_->Setting();
    s.TypeFormat = 1;
    s.RecomputeUseDelimiter();
    s.ExportFldNames = true;  // never a header line in fixed output
    s.Size[0] = 10;
    s.Size[1] = 4;
    s.Size[3] = 3;
    s.Size[4] = 0;  // width 0: an empty field
    const QByteArray expected =
        "O'Brien   5   ABC\r\n"
        "              ???\r\n"
        "Stra\xDF"
        "e    1234x  \r\n";
    EXPECT_EQ(Export(), expected);
}

TEST_F(SessionRunTest, UpperCaseAndOemConversionKeepLengthsAndConvertTextOnly) {
    CreateSource({{"Name", dbText, 12}, {"Qty", dbDouble}},
                 {{QString::fromUtf8("straße é µ"), 1.5}, {QString::fromUtf8("ÿ Жx"), QVariant()}});
    OpenSource();
    caller_.Properties.OverWrite = true;
    ExportSetting& s = session_->Setting();
    struct Case {
        int typeFormat;
        bool upper;
        bool oem;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, true, false,
         "\"STRA\xDF"
         "E \xC9 \xB5\",1.5\r\n\"\x9F ?X\",\r\n"},
        // Upper case first, then the OEM page: É is 0x90 and µ 0xE6 in the OEM page.
        {0, true, true,
         "\"STRA\xE1"
         "E \x90 \xE6\",1.5\r\n\"? ?X\",\r\n"},
        {0, false, true,
         "\"stra\xE1"
         "e \x82 \xE6\",1.5\r\n\"\x98 ?x\",\r\n"},
        // Fixed widths count characters: ß, the unmappable Ж and the padding hold columns.
        {1, true, true,
         "STRA\xE1"
         "E \x90 \xE6  1.5   \r\n? ?X              \r\n"},
    };
    for (const Case& c : cases) {
        s.TypeFormat = c.typeFormat;
        s.RecomputeUseDelimiter();
        s.Upper = c.upper;
        s.OemConvert = c.oem;
        s.Size[0] = 12;
        s.Size[1] = 6;
        EXPECT_EQ(Export(), c.expected) << c.typeFormat << c.upper << c.oem;
    }
}

TEST_F(SessionRunTest, LineBreaksInTextBecomeSpacesInEveryKind) {
    CreateSource({{"Notes", dbMemo}}, {{"a\r\nb\rc\nd"}});
    OpenSource();
    caller_.Properties.OverWrite = true;
    struct Case {
        int typeFormat;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, "\"a  b c d\"\r\n"}, {1, "a  b c d    \r\n"}, {2, "<Notes>a  b c d</Notes>\r\n"}};
    for (const Case& c : cases) {
        session_->Setting().TypeFormat = c.typeFormat;
        session_->Setting().RecomputeUseDelimiter();
        session_->Setting().Size[0] = 12;
        EXPECT_EQ(Export(), c.expected) << c.typeFormat;
    }
}

TEST_F(SessionRunTest, BeforeFieldExportSeesAndChangesValuesAtTheRightPoint) {
    CreateSource({{"Name", dbText, 8}, {"Qty", dbLong}, {"Blob", dbLongBinary}},
                 {{"ann", 7, QByteArray("b")}});
    OpenSource();
    caller_.Properties.OverWrite = true;
    struct Seen {
        QString table, field;
        short type, size;
        QString value;
    };
    std::vector<Seen> seen;
    caller_.Hooks.BeforeFieldExport = [&](const QString& table, const QString& field, short type,
                                          short size, QString& buf) {
        seen.push_back({table, field, type, size, buf});
        buf = field == "Name" ? QStringLiteral("Zoë\"") : QStringLiteral("<") + buf + "|";
    };
    session_->Setting().Size[0] = 6;
    session_->Setting().Size[1] = 3;
    struct Case {
        int typeFormat;
        QString qtySeen;  //!< what the host sees of the scalar field
        QByteArray expected;
    };
    const Case cases[] = {
        // Text: the host's text is delimited; scalar: written as the host leaves it.
        {0, "7", "\"Zo\xEB\"\",<7|,\r\n"},
        // Fixed: text padded after the event, scalar padded before it.
        {1, "7  ", "Zo\xEB\"  <7  |\r\n"},
        {2, "7", "<Name>Zo\xEB\"</Name><Qty><7|</Qty><Blob></Blob>\r\n"},
    };
    for (const Case& c : cases) {
        seen.clear();
        session_->Setting().TypeFormat = c.typeFormat;
        session_->Setting().RecomputeUseDelimiter();
        EXPECT_EQ(Export(), c.expected) << c.typeFormat;
        ASSERT_EQ(seen.size(), 2u) << "no event for a field of no value";
        EXPECT_EQ(seen[0].table, "Customers");
        EXPECT_EQ(seen[0].field, "Name");
        EXPECT_EQ(seen[0].type, dbText);
        EXPECT_EQ(seen[0].size, 6);
        EXPECT_EQ(seen[0].value, "ann");
        EXPECT_EQ(seen[1].field, "Qty");
        EXPECT_EQ(seen[1].type, dbLong);
        EXPECT_EQ(seen[1].size, 3);
        EXPECT_EQ(seen[1].value, c.qtySeen);
    }
}

TEST_F(SessionRunTest, BeforeRecordExportGetsRecordsWithoutSeparator) {
    CreateSource({{"Name", dbText, 8}}, {{"a"}, {"b"}, {"c"}});
    OpenSource();
    session_->Setting().ExportFldNames = true;
    QStringList seen;
    caller_.Hooks.BeforeRecordExport = [&](QString& record) {
        seen << record;
        if (record == "\"b\"") record.clear();
        if (record == "\"c\"") record = QString::fromUtf8("€ changed");
    };
    EXPECT_EQ(Export(), "\"Name\"\r\n\"a\"\r\n\r\n\x80 changed\r\n");
    EXPECT_EQ(seen, (QStringList{"\"Name\"", "\"a\"", "\"b\"", "\"c\""}));
    ExpectOnlySummary(3);
}

TEST_F(SessionRunTest, SelectedListOrderIsTheExportOrder) {
    CreateSource({{"A", dbText, 3}, {"B", dbLong}, {"C", dbText, 3}}, {{"a", 2, "c"}});
    OpenSource();
    session_->Lists().Selected().Assign(QStringList{"C", "A", "B"});
    session_->Setting().ExportFldNames = true;
    EXPECT_EQ(Export(), "\"C\",\"A\",\"B\"\r\n\"c\",\"a\",2\r\n");
}

TEST_F(SessionRunTest, NoSelectedFieldWritesNothingButCountsRecords) {
    NumberedSource(2);
    session_->Lists().Selected().Clear();
    EXPECT_EQ(Export(), QByteArray());
    ExpectOnlySummary(2);
}

}  // namespace
}  // namespace morvane::test
