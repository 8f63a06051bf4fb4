// Failures of the export run: destinations that cannot be written, special files, a full
// disk, an empty or failing source, values that cannot be looked up, and cancellation.
#include "tests/wizard/SessionTestSupport.h"

#include "export/engine/ExportProgress.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <stdexcept>

namespace morvane::test {
namespace {

//! A small tmpfs of our own at dir, unmounted on destruction. Needs the right to mount;
//! Mounted() tells whether it worked.
class TinyFilesystem {
  public:
    TinyFilesystem(const QString& dir, const char* options) : dir_(QFile::encodeName(dir)) {
        QDir().mkpath(dir);
        mounted_ = ::mount("tmpfs", dir_.constData(), "tmpfs", 0, options) == 0;
    }
    ~TinyFilesystem() {
        if (mounted_) ::umount2(dir_.constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly() {
        return ::mount("tmpfs", dir_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    QByteArray dir_;
    bool mounted_ = false;
};

//! A progress display that runs the export directly and records what the run reports.
class FakeProgress : public ExportProgress, public ProgressDisplay {
  public:
    void RunWithProgress(const std::function<void(ExportProgress&)>& run) override {
        ++runs;
        run(*this);
    }
    void SetMaximum(int value) override {
        if (failMaximum) throw RuntimeError(ErrOverflow, QStringLiteral("Overflow"));
        maximum = value;
    }
    void SetValue(int value, const QString& text) override {
        this->value = value;
        label = text;
    }
    bool CancelRequested() const override { return cancel; }
    void ProcessEvents() override { ++processed; }

    int runs = 0;
    int maximum = -1;
    int value = -1;
    QString label;
    bool cancel = false;
    int processed = 0;
    bool failMaximum = false;
};

class SessionRunFailureTest : public SessionTest {
  protected:
    void NumberedSource(int rows) {
        std::vector<Row> data;
        for (int id = 1; id <= rows; ++id) data.push_back({QStringLiteral("R%1").arg(id), id});
        CreateSource({{"Name", dbText, 60}, {"Id", dbLong}}, data);
        OpenSource();
    }
    static QString OpenError(const QString& path, const QString& details) {
        return "Error in openning export file '" + path + "'\r\n\r\n" + details;
    }
    static QString AccessPrompt(const QString& path, const QString& details) {
        return "Error in accessing export file '" + path + "'\r\n\r\n" + details +
               "\r\n\r\nContinue the export ?";
    }
};

TEST_F(SessionRunFailureTest, DestinationThatCannotBeCreatedStopsAtOpening) {
    NumberedSource(2);
    struct Case {
        QString path;
        QString details;
    };
    const Case cases[] = {{PathOf("missing/out.txt"), "Path not found (76)"},
                          {QString(), "Bad file name or number (52)"}};
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        const int descriptors = OpenDescriptorCount();
        Export(c.path);
        ExpectErrorReport(OpenError(c.path, c.details));
        EXPECT_EQ(Boxes().size(), 1u);
        EXPECT_FALSE(session_->LastRunCompleted());
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
    }
    EXPECT_FALSE(QDir(PathOf("missing")).exists());
}

TEST_F(SessionRunFailureTest, DanglingLinkIsReplacedNeverWrittenThrough) {
    NumberedSource(1);
    const QString target = PathOf("target.txt");
    ASSERT_TRUE(QFile::link(target, OutPath()));
    prompter_.QueueMsgBoxAnswer(MsgResult::OK);
    EXPECT_EQ(Export(), "\"R1\",1\r\n");
    EXPECT_EQ(Boxes()[0].text, "File already exists - overwrite?");
    EXPECT_FALSE(QFileInfo(OutPath()).isSymLink());
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SessionRunFailureTest, HostAndDisplayFailuresByStage) {
    struct Case {
        const char* name;
        int failAt;  //!< 0: the header line's event; n: record n's event
        bool inFieldEvent;
        bool inMaximum;
        MsgResult answer;
        QString firstBox;
        QByteArray written;
    };
    const QString prompt = "\r\n\r\nContinue the export ?";
    const Case cases[] = {
        {"progress maximum", -1, false, true, MsgResult::Yes,
         "Error in accessing table fields \r\n\r\nOverflow (6)" + prompt,
         "\"Name\",\"Id\"\r\n\"R1\",1\r\n\"R2\",2\r\n"},
        {"header event", 0, false, false, MsgResult::Yes,
         "Error in exporting field names \r\n\r\nhost failed (51)" + prompt,
         "\"Name\",\"Id\"\r\n\"R1\",1\r\n\"R2\",2\r\n"},
        {"header event, stop", 0, false, false, MsgResult::No,
         "Error in exporting field names \r\n\r\nhost failed (51)" + prompt, ""},
        {"field event", 2, true, false, MsgResult::Yes,
         "Error in assigning a value to  a field at line 2\r\n\r\nCannot assign value 'R2' to "
         "field Name of type Text\r\nContinue the export ?",
         "\"Name\",\"Id\"\r\n\"R1\",1\r\n\"R2\",2\r\n"},
        {"record event", 2, false, false, MsgResult::OK,
         "Error in exporting a new record to the text file\r\n\r\nhost failed (51)",
         "\"Name\",\"Id\"\r\n\"R1\",1\r\n"},
    };
    NumberedSource(2);
    session_->Setting().ExportFldNames = true;
    caller_.Properties.OverWrite = true;
    caller_.Properties.ShowProgress = true;
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        FakeProgress progress;
        progress.failMaximum = c.inMaximum;
        session_->SetProgressDisplay(&progress);
        int records = -1;  // the header line comes first
        caller_.Hooks.BeforeRecordExport = [&](QString&) {
            if (++records == c.failAt && !c.inFieldEvent) throw std::runtime_error("host failed");
        };
        caller_.Hooks.BeforeFieldExport = [&](const QString&, const QString& field, short, short,
                                              QString&) {
            if (c.inFieldEvent && field == "Name" && records + 1 == c.failAt)
                throw std::runtime_error("host failed");
        };
        prompter_.QueueMsgBoxAnswer(c.answer);
        const int descriptors = OpenDescriptorCount();
        EXPECT_EQ(Export(), c.written) << c.name;
        const auto boxes = Boxes();
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.firstBox) << c.name;
        EXPECT_EQ(boxes[0].title, "Error");
        const bool completed = c.answer == MsgResult::Yes;
        EXPECT_EQ(boxes.size(), completed ? 2u : 1u) << c.name;
        if (completed) {
            EXPECT_EQ(boxes[1].text, SummaryText(2));
        }
        EXPECT_EQ(session_->LastRunCompleted(), completed);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
    }
}

TEST_F(SessionRunFailureTest, SpecialFilesAreRefusedAndNeverRemoved) {
    NumberedSource(2);
    const QString directory = PathOf("adir");
    ASSERT_TRUE(QDir().mkpath(directory + "/inner"));
    const QString fifo = PathOf("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QString path;
        bool overWrite;
        MsgResult answer;
    };
    const Case cases[] = {{directory, true, MsgResult::No},
                          {directory, false, MsgResult::Yes},
                          {fifo, true, MsgResult::Yes},
                          {fifo, false, MsgResult::No}};
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        caller_.Properties.OverWrite = c.overWrite;
        prompter_.QueueMsgBoxAnswer(c.answer);
        session_->Destination().File = c.path;
        session_->StartExport();
        const auto boxes = Boxes();
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, AccessPrompt(c.path, "Path/File access error (75)"));
        EXPECT_EQ(boxes[0].buttons, MsgButtons::YesNo);
        if (c.answer == MsgResult::Yes) {
            ASSERT_EQ(boxes.size(), 2u);
            ExpectErrorReport(OpenError(c.path, "Path/File access error (75)"));
        } else {
            EXPECT_EQ(boxes.size(), 1u);
        }
        EXPECT_FALSE(session_->LastRunCompleted());
    }
    EXPECT_TRUE(QFileInfo(directory + "/inner").isDir());
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(SessionRunFailureTest, ReadOnlyFolder) {
    NumberedSource(2);
    const QString mountDir = PathOf("ro");
    TinyFilesystem filesystem(mountDir, "size=64k");
    if (!filesystem.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const QString existing = mountDir + "/old.txt";
    WriteBytes(existing, "old");
    ASSERT_TRUE(filesystem.MakeReadOnly());
    caller_.Properties.OverWrite = true;

    // A new file cannot be created.
    const QString fresh = mountDir + "/new.txt";
    Export(fresh);
    ExpectErrorReport(OpenError(fresh, "Permission denied (70)"));
    EXPECT_EQ(Boxes().size(), 1u);

    // An existing file cannot be deleted: continue goes on to opening it, which fails too.
    for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        prompter_.ClearRecords();
        prompter_.QueueMsgBoxAnswer(answer);
        Export(existing);
        const auto boxes = Boxes();
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, AccessPrompt(existing, "Permission denied (70)"));
        EXPECT_EQ(boxes.size(), answer == MsgResult::Yes ? 2u : 1u);
        if (answer == MsgResult::Yes)
            ExpectErrorReport(OpenError(existing, "Permission denied (70)"));
        EXPECT_EQ(ReadBytes(existing), "old");
    }
}

TEST_F(SessionRunFailureTest, FullDiskStopsWithTheRecordStageAndClosesTheFile) {
    // Records of about 60 bytes; the small cases fit the write buffer, so their failure
    // can only show when the file is flushed, which must happen before the summary.
    struct Case {
        int records;
        int fillerKiB;  //!< space taken before the export
    };
    const Case cases[] = {{4000, 0}, {300, 48}};
    for (const Case& c : cases) {
        const QString table = QStringLiteral("Big%1").arg(c.records);
        prompter_.ClearRecords();
        session_ = std::make_unique<ExportSession>(prompter_);
        session_->SetCaller(&caller_);
        const QString mountDir = PathOf("tiny" + table);
        TinyFilesystem filesystem(mountDir, "size=64k");
        if (!filesystem.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
        if (c.fillerKiB > 0) WriteBytes(mountDir + "/filler", QByteArray(c.fillerKiB * 1024, 'f'));
        std::vector<Row> data;
        for (int id = 1; id <= c.records; ++id)
            data.push_back({QString(50, QChar(u'a' + id % 26)), id});
        CreateSource({{"Name", dbText, 60}, {"Id", dbLong}}, data, table);
        OpenSource(table);
        const int descriptors = OpenDescriptorCount();
        Export(mountDir + "/out.txt");
        ExpectErrorReport("Error in exporting a new record to the text file\r\n\r\nDisk full (61)");
        EXPECT_EQ(Boxes().size(), 1u) << "no summary after a stop: " << c.records;
        EXPECT_FALSE(session_->LastRunCompleted());
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
        session_.reset();
    }
}

TEST_F(SessionRunFailureTest, EmptySourceStopsAtCountingWithDefaultHeading) {
    CreateSource({{"Name", dbText, 10}}, {});
    OpenSource();
    const int descriptors = OpenDescriptorCount();
    session_->Setting().ExportFldNames = true;
    Export();
    ExpectErrorReport("The following Error Occured:\r\n\r\nNo current record.\r\n");
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(QFileInfo(OutPath()).isFile()) << "the file was created before counting";
    EXPECT_EQ(ReadBytes(OutPath()), QByteArray());
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST_F(SessionRunFailureTest, SourceFailingMidRunKeepsTheWrittenRecords) {
    NumberedSource(5);
    FakeProgress progress;
    caller_.Properties.ShowProgress = true;
    session_->SetProgressDisplay(&progress);
    int records = 0;
    caller_.Hooks.BeforeRecordExport = [&](QString&) {
        if (++records == 2) session_->Source().Db()->Close();
    };
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(Export(), "\"R1\",1\r\n\"R2\",2\r\n");
    ExpectErrorReport(
        "Error in accessing next record of source table\r\n\r\nObject invalid or no longer "
        "set.\r\n");
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(progress.label, "2 out of 5") << "the counter shows the true count at the stop";
    EXPECT_EQ(progress.value, 2);
}

TEST_F(SessionRunFailureTest, FieldThatCannotBeReadOffersToContinueByLine) {
    NumberedSource(3);
    session_->Lists().Selected().Assign(QStringList{"Name", "Ghost"});
    session_->Setting().StartingLine = 2;
    prompter_.QueueMsgBoxAnswer(MsgResult::Yes);
    prompter_.QueueMsgBoxAnswer(MsgResult::No);
    EXPECT_EQ(Export(), "\"R2\",\r\n");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (int line : {2, 3}) {
        const auto& box = boxes[static_cast<size_t>(line - 2)];
        EXPECT_EQ(box.text,
                  QStringLiteral("Error in assigning a value to  a field at line %1\r\n\r\n"
                                 "Cannot assign value '' to field Ghost of type \r\n"
                                 "Continue the export ?")
                      .arg(line));
        EXPECT_EQ(box.title, "Error");
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    }
    EXPECT_FALSE(session_->LastRunCompleted());
}

TEST_F(SessionRunFailureTest, FieldBeyondTheWidthTableTakesTheEngineSize) {
    // A field past the width table has no width of its own: it is written at the size the
    // engine reports instead of failing on every record.
    std::vector<FieldSpec> fields;
    for (int ordinal = 0; ordinal < 302; ++ordinal)
        fields.push_back({QStringLiteral("F%1").arg(ordinal), dbText, 5});
    Row row(302, QVariant(QStringLiteral("v")));
    CreateSource(fields, {row});
    OpenSource();
    session_->Lists().Selected().Assign(QStringList{"F0", "F301"});
    EXPECT_EQ(Export(), "\"v\",\"v\"\r\n");
    session_->Setting().TypeFormat = 1;
    session_->Setting().Size[0] = 2;
    EXPECT_EQ(Export(PathOf("fixed.txt")), "v v    \r\n");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, SummaryText(1));
    EXPECT_EQ(boxes[1].text, SummaryText(1));
}

TEST_F(SessionRunFailureTest, CancellationBetweenRecords) {
    struct Case {
        int cancelAt;  //!< the record during which the user confirms the stop
        int written;
    };
    const Case cases[] = {{1, 1}, {4, 4}, {10, 10}, {0, 10}};
    NumberedSource(10);
    caller_.Properties.ShowProgress = true;
    caller_.Properties.OverWrite = true;
    session_->Lists().Selected().Assign(QStringList{"Id"});
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        FakeProgress progress;
        session_->SetProgressDisplay(&progress);
        int records = 0;
        caller_.Hooks.BeforeRecordExport = [&](QString&) {
            if (++records == c.cancelAt) progress.cancel = true;
        };
        const int descriptors = OpenDescriptorCount();
        QByteArray expected;
        for (int id = 1; id <= c.written; ++id) expected += QByteArray::number(id) + "\r\n";
        EXPECT_EQ(Export(), expected) << "cancel at " << c.cancelAt;
        EXPECT_EQ(progress.runs, 1);
        EXPECT_EQ(progress.maximum, 10);
        EXPECT_EQ(progress.value, c.written);
        EXPECT_EQ(progress.label, QStringLiteral("%1 out of 10").arg(c.written));
        if (c.written == 10) {
            EXPECT_GE(progress.processed, 1) << "yields at the last record";
        }
        ExpectOnlySummary(c.written);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
        EXPECT_TRUE(session_->LastRunCompleted());
    }

    // Without ShowProgress the display is not used and the cancel flag is never read.
    FakeProgress unused;
    unused.cancel = true;
    session_->SetProgressDisplay(&unused);
    caller_.Properties.ShowProgress = false;
    caller_.Hooks.BeforeRecordExport = nullptr;
    EXPECT_EQ(Export().count('\n'), 10);
    EXPECT_EQ(unused.runs, 0);
}

}  // namespace
}  // namespace morvane::test
