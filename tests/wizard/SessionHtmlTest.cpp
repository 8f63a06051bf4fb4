// HTML page output of the export run: head, template body attributes, caption, header row,
// text and number cells, tail, and the failures of the page head.
#include "tests/wizard/SessionTestSupport.h"

namespace morvane::test {
namespace {

// The tag texts spelled out here on purpose, so that a wrong byte in the code shows.
const QByteArray kTableStart =
    "<TABLE BORDER=1 BGCOLOR=#ffffff CELLSPACING=0><FONT FACE=\"Arial\" COLOR=#000000>";
const QByteArray kHeaderCell =
    "<TH BGCOLOR=#c0c0c0 BORDERCOLOR=#000000 ><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>";
const QByteArray kTextCell = "<TD BORDERCOLOR=#c0c0c0 ><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>";
const QByteArray kNumberCell =
    "<TD BORDERCOLOR=#c0c0c0  ALIGN=RIGHT><FONT SIZE=2 FACE=\"Arial\" COLOR=#000000>";
const QByteArray kTail = "</TBODY><TFOOT></TFOOT></TABLE></BODY></HTML>";

class SessionHtmlTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        CreateSource({{"Name", dbText, 20}, {"Qty", dbLong}, {"Blob", dbLongBinary}},
                     {{"<b>A&B</b>", 5, QByteArray("x")},
                      {QVariant(), QVariant(), QVariant()},
                      {QString::fromUtf8("Zoë"), -2, QVariant()}});
        OpenSource();
        ExportSetting& s = session_->Setting();
        s.TypeFormat = 3;
        s.RecomputeUseDelimiter();
        s.HtmlTitle = "My Page";
        caller_.Properties.OverWrite = true;
    }

    static QByteArray Head(const QByteArray& title, const QByteArray& bodyAttributes) {
        return "<HTML><HEAD><TITLE>" + title + "</TITLE></HEAD><BODY" + bodyAttributes + ">" +
               kTableStart;
    }
    static QByteArray Row(const QByteArray& name, const QByteArray& qty) {
        return "<TR VALIGN=TOP>" + kTextCell + name + "</FONT></TD>" + kNumberCell + qty +
               "</FONT></TD>" + kTextCell + "</FONT></TD></TR>\r\n";
    }
    static QByteArray HeaderRow() {
        QByteArray row = "<THEAD><TR>";
        for (const char* name : {"Name", "Qty", "Blob"}) row += kHeaderCell + name + "</FONT></TH>";
        return row + "</TR></THEAD>";
    }
};

TEST_F(SessionHtmlTest, FullPageWithTemplateCaptionAndHeader) {
    const QString templatePath = PathOf("template.html");
    WriteBytes(templatePath,
               "<html><head></head>\r\n<body bgcolor=#FFFFCC text=\"black\">\r\n<p>x</p>");
    session_->Setting().HtmlTemplate = templatePath;
    session_->Setting().ExportHtmlTableName = true;
    QStringList rows;
    caller_.Hooks.BeforeRecordExport = [&](QString& record) { rows << record; };

    const QByteArray expected = Head("My Page", " bgcolor=#FFFFCC text=\"black\"") +
                                "<CAPTION><B>Customers</B></CAPTION>" + HeaderRow() + "<TBODY>" +
                                Row("<b>A&B</b>", "5") + Row("", "") + Row("Zo\xEB", "-2") + kTail;
    EXPECT_EQ(Export(), expected);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].toLatin1() + "\r\n", Row("<b>A&B</b>", "5"));
    ExpectOnlySummary(3);
}

TEST_F(SessionHtmlTest, OptionalPartsOfTheHead) {
    struct Case {
        bool caption;
        bool header;
        QByteArray between;  //!< what follows the table start up to the body
    };
    const Case cases[] = {
        {false, false, "<TBODY>"},
        {true, false, "<CAPTION><B>Customers</B></CAPTION><TBODY>"},
        {false, true, HeaderRow() + "<TBODY>"},
    };
    session_->Setting().StartingLine = 3;
    for (const Case& c : cases) {
        session_->Setting().ExportHtmlTableName = c.caption;
        session_->Setting().ExportHtmlFldNames = c.header;
        EXPECT_EQ(Export(), Head("My Page", "") + c.between + Row("Zo\xEB", "-2") + kTail);
    }
}

TEST_F(SessionHtmlTest, ZeroRecordsStillWriteTheWholePage) {
    session_->Setting().StartingLine = 4;
    session_->Setting().HtmlTitle.clear();
    session_->Setting().HtmlTemplate = PathOf("missing.html");  // missing file, existing folder
    EXPECT_EQ(Export(), Head("", "") + HeaderRow() + "<TBODY>" + kTail);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(session_->LastRunCompleted());
}

TEST_F(SessionHtmlTest, TemplateThatCannotBeReadOffersToContinueWithoutBodyTag) {
    struct Case {
        QString templatePath;
        QString description;
        MsgResult answer;
    };
    const QString missingFolder = PathOf("nofolder/t.html");
    QDir(dir_.path()).mkdir("adir");
    const Case cases[] = {
        {missingFolder, "Path not found (76)", MsgResult::Yes},
        {missingFolder, "Path not found (76)", MsgResult::No},
        {PathOf("adir"), "Path/File access error (75)", MsgResult::Yes},
    };
    session_->Setting().StartingLine = 3;
    session_->Setting().ExportHtmlFldNames = false;
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        session_->Setting().HtmlTemplate = c.templatePath;
        prompter_.QueueMsgBoxAnswer(c.answer);
        const int descriptors = OpenDescriptorCount();
        const QByteArray bytes = Export();
        EXPECT_EQ(OpenDescriptorCount(), descriptors) << "the export file is closed";
        const auto boxes = Boxes();
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Error in exporting field names \r\n\r\n" + c.description +
                                     "\r\n\r\nContinue the export ?");
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(boxes[0].icon, MsgIcon::Exclamation);
        const QByteArray head = "<HTML><HEAD><TITLE>My Page</TITLE></HEAD>";
        if (c.answer == MsgResult::Yes) {
            EXPECT_EQ(bytes, head + kTableStart + "<TBODY>" + Row("Zo\xEB", "-2") + kTail);
            ASSERT_EQ(boxes.size(), 2u);
            EXPECT_EQ(boxes[1].text, SummaryText(1));
        } else {
            EXPECT_EQ(bytes, head);
            EXPECT_EQ(boxes.size(), 1u) << "No stops the run without a further report";
            EXPECT_FALSE(session_->LastRunCompleted());
        }
    }
    EXPECT_FALSE(QDir(PathOf("nofolder")).exists());
}

TEST_F(SessionHtmlTest, TaggedRecordsWrapEveryFieldInItsName) {
    session_->Setting().TypeFormat = 2;
    session_->Setting().RecomputeUseDelimiter();
    session_->Setting().ExportFldNames = true;  // no header line in tagged output
    session_->Setting().RecFieldSeparator = 4;
    EXPECT_EQ(Export(),
              "<Name><b>A&B</b></Name><Qty>5</Qty><Blob></Blob>"
              "<Name></Name><Qty></Qty><Blob></Blob>"
              "<Name>Zo\xEB</Name><Qty>-2</Qty><Blob></Blob>");
}

}  // namespace
}  // namespace morvane::test
