#include "app/qt_status_area.h"

#include <algorithm>

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

namespace warenkai {

QtStatusArea::QtStatusArea(QLabel& statusText, QLabel& result, QListWidget& errorList, QProgressBar& progressBar)
    : m_statusText(statusText),
      m_result(result),
      m_errorList(errorList),
      m_progressBar(progressBar),
      m_maximum(progressBar.maximum()),
      m_value(std::max(progressBar.value(), 0)) {}

void QtStatusArea::SetStatusText(const std::string& text) {
    m_statusText.setText(QString::fromStdString(text));
}

void QtStatusArea::ClearErrors() {
    m_errorList.clear();
}

void QtStatusArea::AddError(const std::string& line, const std::string& cause) {
    auto* item = new QListWidgetItem(QString::fromStdString(line), &m_errorList);
    if (!cause.empty()) {
        item->setToolTip(QString::fromStdString(cause));
    }
    m_errorList.scrollToBottom();
}

void QtStatusArea::SetResult(const std::string& line) {
    m_result.setText(QString::fromStdString(line));
}

void QtStatusArea::SetProgressMaximum(int maximum) {
    // The lower end stays 0. A range of 0 to 0 would turn the bar into a busy indicator (an export
    // without articles sets 0), so such a bar is drawn empty over the range 0 to 1.
    m_maximum = std::max(maximum, 0);
    m_value = std::min(m_value, m_maximum);
    m_progressBar.setRange(0, std::max(m_maximum, 1));
    m_progressBar.setValue(m_value);
}

int QtStatusArea::ProgressMaximum() const {
    return m_maximum;
}

void QtStatusArea::SetProgressValue(int value) {
    // The bar ignores a value outside its range; a value past either end is kept at that end, so what
    // is read back is what the bar shows.
    m_value = std::clamp(value, 0, m_maximum);
    m_progressBar.setValue(m_value);
}

int QtStatusArea::ProgressValue() const {
    return m_value;
}

}  // namespace warenkai
