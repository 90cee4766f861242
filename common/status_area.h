#pragma once

#include <string>

namespace warenkai {

// The status area of the transfer tab: the status label `Statustext`, the error list `List2` and the
// progress bar `ProgressBar3`. Every transfer reports through it; the window never writes to it itself.
class StatusArea {
public:
    virtual ~StatusArea() = default;

    // Replaces the whole text of the status label.
    virtual void SetStatusText(const std::string& text) = 0;
    // Removes every line of the error list.
    virtual void ClearErrors() = 0;
    // Appends one line at the end of the error list. `cause` is what lies behind it, as the other
    // side gave it (the FTP server's answer, the client library's text, a page's HTTP status,
    // Selectline's error text); empty when the line says all there is.
    virtual void AddError(const std::string& line, const std::string& cause) = 0;
    void AddError(const std::string& line) { AddError(line, std::string()); }
    // The transfer's result in numbers, one line ("55 Artikel in 1 Datei, …"), shown below the status
    // text; set once at the end of every transfer.
    virtual void SetResult(const std::string& line) = 0;
    // Sets the upper end of the progress bar's range (the lower end is always 0).
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual int ProgressMaximum() const = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual int ProgressValue() const = 0;
};

// A status area that passes every call on to another; a status area that adds to what is shown
// derives from it and overrides what it adds.
class ForwardingStatusArea : public StatusArea {
public:
    explicit ForwardingStatusArea(StatusArea& shown) : m_shown(shown) {}

    using StatusArea::AddError;
    void SetStatusText(const std::string& text) override { m_shown.SetStatusText(text); }
    void ClearErrors() override { m_shown.ClearErrors(); }
    void AddError(const std::string& line, const std::string& cause) override { m_shown.AddError(line, cause); }
    void SetResult(const std::string& line) override { m_shown.SetResult(line); }
    void SetProgressMaximum(int maximum) override { m_shown.SetProgressMaximum(maximum); }
    int ProgressMaximum() const override { return m_shown.ProgressMaximum(); }
    void SetProgressValue(int value) override { m_shown.SetProgressValue(value); }
    int ProgressValue() const override { return m_shown.ProgressValue(); }

private:
    StatusArea& m_shown;
};

}  // namespace warenkai
