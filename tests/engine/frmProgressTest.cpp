// The progress window: its texts, the stop button with its confirmation, the animation,
// and a real export run under it (offscreen).
#include "export/common/ScriptedPrompter.h"
#include "export/engine/ProgressAnimation.h"
#include "export/engine/ui/frmProgress.h"
#include "tests/wizard/SessionTestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace morvane::test {
namespace {

void ExpectPicturesMatch(const frmProgress& window, const ProgressAnimation& animation) {
    for (int picture = 0; picture < ProgressAnimation::PictureCount; ++picture)
        EXPECT_EQ(!window.Image1(picture)->isHidden(), animation.Visible(picture))
            << "picture " << picture;
}

TEST(frmProgressTest, WindowTextsAndAnimationTimer) {
    ScriptedPrompter prompter;
    frmProgress window(prompter);
    EXPECT_EQ(window.windowTitle(), "Export...");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Processing record");
    EXPECT_EQ(window.findChild<QPushButton*>("Command1")->text(), "Cancel");
    ASSERT_NE(window.findChild<QLabel*>("LblRecords"), nullptr);
    ASSERT_NE(window.findChild<QProgressBar*>("ProgressBar"), nullptr);
    const QTimer* timer = window.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 175);
    EXPECT_FALSE(timer->isActive()) << "the animation runs only while the export does";
    EXPECT_FALSE(window.CancelRequested());

    // Each tick of the timer steps the pictures by the animation table.
    ProgressAnimation expected;
    EXPECT_EQ(window.AnimationFrame(), 1);
    ExpectPicturesMatch(window, expected);
    for (int tick = 1; tick <= 26; ++tick) {
        window.Timer1_Timer();
        expected.Tick();
        ASSERT_EQ(window.AnimationFrame(), expected.Frame()) << "tick " << tick;
        ExpectPicturesMatch(window, expected);
    }
}

TEST(frmProgressTest, StopButtonAsksBeforeSettingTheFlag) {
    ScriptedPrompter prompter;
    frmProgress window(prompter);
    prompter.QueueMsgBoxAnswer(MsgResult::Cancel);
    window.findChild<QPushButton*>("Command1")->click();
    EXPECT_FALSE(window.CancelRequested());
    prompter.QueueMsgBoxAnswer(MsgResult::OK);
    window.Command1_Click();
    EXPECT_TRUE(window.CancelRequested());
    const auto boxes = prompter.RecordsOf(ScriptedPrompter::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.text, "Are you sure that you want to stop the export process?");
        EXPECT_EQ(box.title, "Confirmation");
        EXPECT_EQ(box.buttons, MsgButtons::OKCancel);
        EXPECT_EQ(box.icon, MsgIcon::Question);
    }
}

class frmProgressRunTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        std::vector<Row> rows;
        for (int id = 1; id <= 20; ++id) rows.push_back({id});
        CreateSource({{"Id", dbLong}}, rows);
        OpenSource();
        caller_.Properties.ShowProgress = true;
    }
    QString Counter(const frmProgress& window) const {
        return window.findChild<QLabel*>("LblRecords")->text();
    }
    const QProgressBar* Bar(const frmProgress& window) const {
        return window.findChild<QProgressBar*>("ProgressBar");
    }
};

TEST_F(frmProgressRunTest, StopConfirmedOnTheButtonEndsTheRunBeforeTheNextRecord) {
    frmProgress window(prompter_);
    session_->SetProgressDisplay(&window);
    int records = 0;
    bool shownDuringRun = false;
    caller_.Hooks.BeforeRecordExport = [&](QString&) {
        ++records;
        shownDuringRun = shownDuringRun || window.isVisible();
        if (records == 5 || records == 8) window.findChild<QPushButton*>("Command1")->click();
    };
    prompter_.QueueMsgBoxAnswer(MsgResult::Cancel);  // record 5: the run goes on
    prompter_.QueueMsgBoxAnswer(MsgResult::OK);      // record 8: stop after it
    QByteArray expected;
    for (int id = 1; id <= 8; ++id) expected += QByteArray::number(id) + "\r\n";
    EXPECT_EQ(Export(), expected);
    EXPECT_TRUE(shownDuringRun);
    EXPECT_FALSE(window.isVisible()) << "the window closes when the run returns";
    EXPECT_EQ(Counter(window), "8 out of 20");
    EXPECT_EQ(Bar(window)->maximum(), 20);
    EXPECT_EQ(Bar(window)->value(), 8);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, SummaryText(8));
    EXPECT_TRUE(session_->LastRunCompleted());
}

TEST_F(frmProgressRunTest, FullRunShowsTheTrueCountAndAnimates) {
    frmProgress window(prompter_);
    session_->SetProgressDisplay(&window);
    caller_.Hooks.BeforeRecordExport = [&](QString&) { QThread::msleep(30); };
    EXPECT_EQ(Export().count('\n'), 20);
    EXPECT_EQ(Counter(window), "20 out of 20");
    EXPECT_EQ(Bar(window)->value(), 20);
    EXPECT_EQ(Bar(window)->maximum(), 20);
    ExpectOnlySummary(20);
    // About 600 ms of run: the 175 ms timer ticked a few times, never a whole round.
    EXPECT_GT(window.AnimationFrame(), 1);
    ProgressAnimation expected;
    while (expected.Frame() != window.AnimationFrame()) expected.Tick();
    ExpectPicturesMatch(window, expected);
}

TEST_F(frmProgressRunTest, EachRunThroughTheSameWindowStartsAfresh) {
    frmProgress window(prompter_);
    session_->SetProgressDisplay(&window);
    caller_.Properties.OverWrite = true;
    // A run that never starts would leave the modal window waiting: close it after a while.
    bool stuck = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    watchdog.setInterval(10000);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stuck = true;
        window.done(0);
    });
    struct Case {
        int cancelAt;
        int written;
    };
    const Case cases[] = {{3, 3}, {0, 20}, {5, 5}};
    for (const Case& c : cases) {
        prompter_.ClearRecords();
        int records = 0;
        caller_.Hooks.BeforeRecordExport = [&](QString&) {
            if (++records == c.cancelAt) {
                prompter_.QueueMsgBoxAnswer(MsgResult::OK);
                window.Command1_Click();
            }
        };
        watchdog.start();
        EXPECT_EQ(Export().count('\n'), c.written);
        watchdog.stop();
        ASSERT_FALSE(stuck) << "the run did not start";
        EXPECT_EQ(Counter(window), QStringLiteral("%1 out of 20").arg(c.written));
        EXPECT_EQ(Boxes().back().text, SummaryText(c.written));
    }
}

}  // namespace
}  // namespace morvane::test
