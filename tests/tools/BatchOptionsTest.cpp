#include "tools/morvane-batch/BatchOptions.h"
#include "tools/morvane-batch/BatchTool.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using Answer = ConsolePrompter::QuestionAnswer;

const QStringList kMinimal = {"--database", "/d/s.db", "--table", "T", "--out", "/o.txt"};

TEST(BatchOptionsTest, ParsesEveryOption) {
    BatchRequest request;
    QString problem;
    ASSERT_EQ(ParseBatchArguments({"--database", "/d/s.db", "--type", "9", "--password", "-pw-",
                                   "--query", "Q 1", "--out=/o.txt", "--ini", "/s.ini", "--setting",
                                   "Monthly", "--overwrite", "--progress", "--summary", "--no"},
                                  request, problem),
              BatchParse::Run)
        << problem.toStdString();
    EXPECT_EQ(request.database, "/d/s.db");
    EXPECT_EQ(request.connectType, 9);
    EXPECT_EQ(request.password, "-pw-");
    EXPECT_EQ(request.tableName, "");
    EXPECT_EQ(request.queryName, "Q 1");
    EXPECT_EQ(request.exportFile, "/o.txt");
    EXPECT_EQ(request.iniFile, "/s.ini");
    EXPECT_EQ(request.setting, "Monthly");
    EXPECT_TRUE(request.overwrite);
    EXPECT_TRUE(request.display.progress);
    EXPECT_TRUE(request.display.summary);
    EXPECT_EQ(request.answers, Answer::AlwaysNo);
}

TEST(BatchOptionsTest, ParametersAreNameValuePairs) {
    BatchRequest request;
    QString problem;
    ASSERT_EQ(ParseBatchArguments(kMinimal + QStringList{"--param", "Year=2024", "--param",
                                                          "Where=a=b", "--param", "Empty="},
                                  request, problem),
              BatchParse::Run)
        << problem.toStdString();
    EXPECT_EQ(request.parameters.value("Year"), "2024");
    EXPECT_EQ(request.parameters.value("Where"), "a=b");
    EXPECT_TRUE(request.parameters.contains("Empty"));
    EXPECT_EQ(request.parameters.value("Empty"), "");
    for (const QString& bad : {QStringLiteral("NoEquals"), QStringLiteral("=value")}) {
        EXPECT_EQ(ParseBatchArguments(kMinimal + QStringList{"--param", bad}, request, problem),
                  BatchParse::Error)
            << bad.toStdString();
        EXPECT_TRUE(problem.contains("--param")) << problem.toStdString();
    }
}

TEST(BatchOptionsTest, DefaultsAndSwitches) {
    struct Case {
        QStringList extra;
        qint16 type;
        Answer answers;
        bool overwrite, progress, summary;
    };
    const Case cases[] = {
        {{}, 4, Answer::DefaultButton, false, false, false},
        {{"--yes"}, 4, Answer::AlwaysYes, false, false, false},
        {{"--no"}, 4, Answer::AlwaysNo, false, false, false},
        {{"--type", "-3", "--overwrite"}, -3, Answer::DefaultButton, true, false, false},
        {{"--progress"}, 4, Answer::DefaultButton, false, true, false},
        {{"--summary", "--type", "32767"}, 32767, Answer::DefaultButton, false, false, true},
    };
    for (const Case& c : cases) {
        const std::string label = c.extra.join(' ').toStdString();
        BatchRequest request;
        QString problem;
        ASSERT_EQ(ParseBatchArguments(kMinimal + c.extra, request, problem), BatchParse::Run)
            << label << ": " << problem.toStdString();
        EXPECT_EQ(request.connectType, c.type) << label;
        EXPECT_EQ(request.answers, c.answers) << label;
        EXPECT_EQ(request.overwrite, c.overwrite) << label;
        EXPECT_EQ(request.display.progress, c.progress) << label;
        EXPECT_EQ(request.display.summary, c.summary) << label;
        EXPECT_TRUE(request.setting.isEmpty()) << label;
    }
}

TEST(BatchOptionsTest, UsageErrors) {
    struct Case {
        QStringList arguments;
        const char* problemPart;
    };
    const Case cases[] = {
        {{}, "--database"},
        {{"--table", "T", "--out", "/o"}, "--database"},
        {{"--database", "d", "--table", "T"}, "--out"},
        {{"--database", "d", "--out", "/o"}, "--table"},
        {kMinimal + QStringList{"--query", "Q"}, "--table"},
        {kMinimal + QStringList{"--yes", "--no"}, "--yes"},
        {kMinimal + QStringList{"--type", "x"}, "--type"},
        {kMinimal + QStringList{"--type", "40000"}, "--type"},
        {kMinimal + QStringList{"--table", "U"}, "more than once"},
        {kMinimal + QStringList{"stray"}, "stray"},
        {kMinimal + QStringList{"--bogus"}, "bogus"},
        {QStringList{"--database"}, "database"},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        BatchRequest request;
        QString problem;
        EXPECT_EQ(ParseBatchArguments(c.arguments, request, problem), BatchParse::Error) << label;
        EXPECT_TRUE(problem.contains(QLatin1String(c.problemPart)))
            << label << ": " << problem.toStdString();
    }
    BatchRequest request;
    QString problem;
    EXPECT_EQ(ParseBatchArguments({"--help"}, request, problem), BatchParse::Help);
}

TEST(BatchOptionsTest, PropertiesFollowTheRequest) {
    BatchRequest request;
    QString problem;
    ASSERT_EQ(ParseBatchArguments(kMinimal + QStringList{"--password", "pw", "--ini", "/s.ini"},
                                  request, problem),
              BatchParse::Run);
    ControlProperties properties = BatchTool::PropertiesFor(request);
    EXPECT_EQ(properties.DataBaseName, "/d/s.db");
    EXPECT_EQ(properties.ConnectString, 4);
    EXPECT_EQ(properties.Password, "pw");
    EXPECT_EQ(properties.TableName, "T");
    EXPECT_EQ(properties.QueryName, "");
    EXPECT_EQ(properties.ExportFile, "/o.txt");
    EXPECT_EQ(properties.IniFile, "/s.ini");
    // The control's defaults show progress and summary; the tool shows them only on request.
    EXPECT_FALSE(properties.ShowProgress);
    EXPECT_FALSE(properties.ShowSummary);
    EXPECT_FALSE(properties.OverWrite);

    request.display = {true, true};
    request.overwrite = true;
    properties = BatchTool::PropertiesFor(request);
    EXPECT_TRUE(properties.ShowProgress);
    EXPECT_TRUE(properties.ShowSummary);
    EXPECT_TRUE(properties.OverWrite);
}

}  // namespace
}  // namespace morvane
