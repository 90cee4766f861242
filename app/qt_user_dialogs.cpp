#include "app/qt_user_dialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace warenkai {

void QtUserDialogs::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(text), QMessageBox::Ok, m_owner);
    // Texts from Selectline or the shop are shown as they are, never read as rich text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtUserDialogs::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtUserDialogs::AskText(const std::string& prompt, const std::string& title,
                                                  const std::string& preset) {
    QInputDialog box(m_owner);
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(QString::fromStdString(title));
    box.setLabelText(QString::fromStdString(prompt));
    box.setTextValue(QString::fromStdString(preset));
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.textValue().toStdString();
}

}  // namespace warenkai
