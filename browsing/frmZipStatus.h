#pragma once
// The two-bar progress window of a long two-level job, with a Cancel the job polls.
#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <cstdint>

namespace Browsing {

class frmZipStatus : public QWidget {
    Q_OBJECT
public:
    explicit frmZipStatus(QWidget* parent = nullptr);

    bool CancelOption = false;
    QLabel* lblMinor() const { return lblMinor_; }
    QProgressBar* prgMinor() const { return prgMinor_; }
    QProgressBar* prgMajor() const { return prgMajor_; }

    // Clamp Value to 0..100 (written back) and show it.
    void MinorProgress(int16_t& Value);
    void MajorProgress(int16_t& Value);
    void cmdCancel_Click() { CancelOption = true; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* prgMajor_;
    QProgressBar* prgMinor_;
    QLabel* lblMinor_;
};

} // namespace Browsing
