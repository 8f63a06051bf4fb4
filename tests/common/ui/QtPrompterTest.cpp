#include "export/common/ui/QtPrompter.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace morvane {
namespace {

// Runs check on the modal dialog as soon as it shows.
void OnModal(std::function<void(QWidget*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            check(modal);
        }
    });
    timer->start();
}

TEST(QtPrompterTest, MessageBoxShowsWhatWasAsked) {
    QtPrompter prompter;
    QApplication::setApplicationDisplayName("Exporter");
    OnModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Continue the export ?");
        EXPECT_EQ(box->windowTitle(), "Error");
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->buttons().size(), 2);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(prompter.MsgBox("Continue the export ?", MsgButtons::YesNo, MsgIcon::Exclamation,
                              "Error", 2),
              MsgResult::Yes);

    OnModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Exporter");
        modal->close();
    });
    EXPECT_EQ(prompter.MsgBox("x", MsgButtons::OKCancel, MsgIcon::None, ""), MsgResult::Cancel);
}

TEST(QtPrompterTest, InputBoxAnswersTextOrCancel) {
    QtPrompter prompter;
    OnModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), "1999");
        EXPECT_EQ(dialog->labelText(), "Enter a year");
        dialog->setTextValue("2024");
        dialog->accept();
    });
    EXPECT_EQ(prompter.InputBox("Enter a year", "'Year':", "1999"), QString("2024"));
    OnModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(prompter.InputBox("Enter a year", "'Year':", "1999"), std::nullopt);
}

TEST(QtPrompterTest, PointerUsesTheOverrideCursor) {
    {
        QtPrompter prompter;
        prompter.SetMousePointer(PointerHourglass);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        prompter.SetMousePointer(PointerDefault);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        prompter.SetMousePointer(PointerHourglass);
    }
    // The prompter gives back an override cursor it still holds.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace morvane
