// Real keystrokes typed into the inner box: key classes, case rules, the separator rule, the
// diameter sign, control characters and the host's by-reference key events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>

#include "tests/textbox/QuintelTestSupport.h"

namespace morvane {
namespace {

using quinteltest::HostWindow;
using quinteltest::TypeKeys;

class QuintelTypingTest : public ::testing::Test {
  protected:
    void Configure(int checkKey, int checkCase, int dateSeparator, short diameterKey) {
        host.control->SetCheckKey(Quintel::enKeyCheck(checkKey));
        host.control->SetCheckCase(Quintel::enCaseCheck(checkCase));
        host.control->SetDateSeparator(Quintel::enDateSeparator(dateSeparator));
        host.control->SetDiameterKey(diameterKey);
        host.control->SetText(QString());
        host.box->setFocus();
    }

    HostWindow host;
};

TEST_F(QuintelTypingTest, TypedTextFollowsTheRules) {
    struct Case {
        const char* what;
        int checkKey, checkCase, dateSeparator;
        short diameterKey;
        QString keys;
        QString expected;
    };
    const Case cases[] = {
        {"digits keep comma", 4, 0, 0, 0, "12,5", "12,5"},
        {"digits drop minus and letters", 4, 0, 0, 0, "-1a2b", "12"},
        {"digits keep point and space", 4, 0, 0, 0, ".5 x/", ".5 "},
        {"date forces hyphen", 3, 0, 45, 0, "31/12/1999", "31-12-1999"},
        {"date forces slash", 3, 0, 47, 0, "31-12-1999", "31/12/1999"},
        {"date mixed keeps both", 3, 0, 0, 0, "31/12-1999", "31/12-1999"},
        {"date drops letters and commas", 3, 0, 0, 0, "3a1,.x", "31"},
        {"letters", 1, 0, 0, 0, "Ab1 c9'@^`", "Ab c'@^`"},
        {"letters with accents", 1, 0, 0, 0, "é´ÀÖ×Øßÿü", "é´ÀÖü"},
        {"letters and digits", 2, 0, 0, 0, "a1,b.2-c/", "a1,b.2c"},
        {"upper case anything", 0, 1, 0, 0, "abcéÿß÷", "ABCÉÿß÷"},
        {"lower case anything", 0, 2, 0, 0, "ABCÀÖ×ØÝ", "abcàö×Øý"},
        {"upper case letters only", 1, 1, 0, 0, "ab1c", "ABC"},
        {"diameter sign", 0, 0, 0, 181, "µ25", "Ø25"},
        {"diameter sign with lower case", 0, 2, 0, 181, "µA", "Øa"},
        {"diameter key 0 on a new box", 0, 0, 0, 0, "µ", "µ"},
        {"micro sign not a letter", 1, 0, 0, 181, "aµb", "ab"},
        {"euro in no check", 0, 1, 0, 0, "€š", "€š"},
        {"outside the code page in no check", 0, 1, 0, 0, "Ωω", "Ωω"},
        {"outside the code page in letters", 1, 0, 0, 0, "aΩb", "ab"},
    };
    for (const Case& c : cases) {
        Configure(c.checkKey, c.checkCase, c.dateSeparator, c.diameterKey);
        TypeKeys(host.box, c.keys);
        EXPECT_EQ(host.control->Text(), c.expected) << c.what;
    }
}

TEST_F(QuintelTypingTest, EditingKeysPassEveryClass) {
    for (int checkKey = 1; checkKey <= 4; ++checkKey) {
        Configure(checkKey, 0, 0, 0);
        QSignalSpy returns(host.box, &QLineEdit::returnPressed);
        TypeKeys(host.box, "a1b2");
        const QString typed = host.control->Text();
        QTest::keyClick(host.box, Qt::Key_Backspace);
        EXPECT_EQ(host.control->Text(), typed.left(typed.size() - 1)) << checkKey;
        QTest::keyClick(host.box, Qt::Key_Home);
        QTest::keyClick(host.box, Qt::Key_Delete);  // no character: never filtered
        EXPECT_EQ(host.control->Text(), typed.mid(1, typed.size() - 2)) << checkKey;
        QTest::keyClick(host.box, Qt::Key_Return);
        EXPECT_EQ(returns.count(), 1) << checkKey;
    }
}

TEST_F(QuintelTypingTest, ControlCharacterShortcutsOnlyWithoutKeyCheck) {
    struct Case {
        int checkKey;
        bool shortcutsWork;
    };
    const Case cases[] = {{0, true}, {1, false}, {2, false}, {3, false}, {4, false}};
    for (const Case& c : cases) {
        Configure(c.checkKey, 0, 0, 0);
        host.control->SetText(QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("34"));
        QTest::keyClick(host.box, Qt::Key_End);
        QTest::keyClick(host.box, Qt::Key_V, Qt::ControlModifier);  // paste, code 22
        EXPECT_EQ(host.control->Text(), c.shortcutsWork ? "1234" : "12") << c.checkKey;
        QTest::keyClick(host.box, Qt::Key_A, Qt::ControlModifier);  // select all, code 1
        EXPECT_EQ(host.box->hasSelectedText(), c.shortcutsWork) << c.checkKey;
        host.box->selectAll();
        QTest::keyClick(host.box, Qt::Key_X, Qt::ControlModifier);  // cut, code 24
        EXPECT_EQ(host.control->Text().isEmpty(), c.shortcutsWork) << c.checkKey;
    }
}

TEST_F(QuintelTypingTest, LockedBoxIgnoresTyping) {
    Configure(0, 1, 0, 181);
    host.control->SetText(QStringLiteral("fixed"));
    host.control->SetLocked(true);
    TypeKeys(host.box, "aµ");
    EXPECT_EQ(host.control->Text(), "fixed");
}

TEST_F(QuintelTypingTest, KeyEventsArriveInOrderWithTheirCodes) {
    Configure(0, 1, 0, 0);
    QStringList log;
    QObject::connect(host.control, &Quintel::KeyDown, [&](short& code, short& shift) {
        log << QStringLiteral("KeyDown %1 %2").arg(code).arg(shift);
    });
    QObject::connect(host.control, &Quintel::KeyPress,
                     [&](short& ascii) { log << QStringLiteral("KeyPress %1").arg(ascii); });
    QObject::connect(host.control, &Quintel::Change, [&] { log << QStringLiteral("Change"); });
    QObject::connect(host.control, &Quintel::KeyUp, [&](short& code, short& shift) {
        log << QStringLiteral("KeyUp %1 %2").arg(code).arg(shift);
    });
    QTest::keyClick(host.box, Qt::Key_A);
    QTest::keyClick(host.box, Qt::Key_Delete);
    const QStringList expected{"KeyDown 65 0", "KeyPress 65",  "Change",
                               "KeyUp 65 0",   "KeyDown 46 0", "KeyUp 46 0"};
    EXPECT_EQ(log, expected);
    log.clear();
    QTest::keyClick(host.box, Qt::Key_B, Qt::ShiftModifier);
    EXPECT_TRUE(log.contains("KeyDown 66 1")) << log.join(", ").toStdString();
}

TEST_F(QuintelTypingTest, HostChangesKeysByReference) {
    Configure(4, 0, 0, 0);
    // KeyDown: turn "1" into "2", cancel "3"; KeyPress: turn "5" into "9", discard "7".
    QObject::connect(host.control, &Quintel::KeyDown, [](short& code, short&) {
        if (code == '1') code = '2';
        if (code == '3') code = 0;
    });
    QObject::connect(host.control, &Quintel::KeyPress, [](short& ascii) {
        if (ascii == '5') ascii = '9';
        if (ascii == '7') ascii = 0;
    });
    int keyPresses = 0;
    QObject::connect(host.control, &Quintel::KeyPress, [&](short&) { ++keyPresses; });
    TypeKeys(host.box, "1a345678");
    EXPECT_EQ(host.control->Text(), "24968") << "keys rewritten by the host, 'a' filtered";
    EXPECT_EQ(keyPresses, 6) << "no KeyPress for the filtered or cancelled keys";
}

TEST_F(QuintelTypingTest, CommittedInputMethodTextIsFiltered) {
    Configure(4, 0, 0, 0);
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("1a2-3"));
    QApplication::sendEvent(host.box, &event);
    EXPECT_EQ(host.control->Text(), "123");
}

}  // namespace
}  // namespace morvane
