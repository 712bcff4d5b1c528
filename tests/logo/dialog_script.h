#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

namespace qrlogo::test {

// Runs `act` on the file dialog once it is open as the active modal window, so a test drives
// the real dialog that the code under test is waiting on.
inline void WhenFileDialogOpens(std::function<void(QFileDialog&)> act) {
    auto* timer = new QTimer(QApplication::instance());
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
    });
    timer->start();
}

// Puts a path into the dialog's file-name field as a user pasting it would, and presses the
// dialog's Open button. The field has the focus first, as it has for a user typing: only then
// does the dialog drop the file it was opened with from its selection when another is typed.
inline void EnterPath(QFileDialog& dialog, const std::string& utf8Path) {
    auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (field == nullptr) field = qobject_cast<QLineEdit*>(dialog.focusWidget());
    if (field == nullptr) return dialog.reject();
    QApplication::setActiveWindow(&dialog);
    field->setFocus(Qt::OtherFocusReason);
    if (!QTest::qWaitFor([field] { return field->hasFocus(); }, 5000)) return dialog.reject();
    field->setText(QString::fromStdString(utf8Path));
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (open == nullptr) return dialog.reject();
    open->click();
}

inline void PressEscape(QFileDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }

}  // namespace qrlogo::test
