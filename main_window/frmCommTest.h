#pragma once
// The test window: counts the test commands received on the serial command port.
#include <QWidget>
#include <cstdint>

class QLabel;

namespace MainWindow {

class frmCommTest : public QWidget {
    Q_OBJECT
public:
    explicit frmCommTest(QWidget* parent = nullptr);
    // The count shown becomes the shown number + 1.
    void IncrementCount();
    int32_t Count() const { return count_; }

private:
    QLabel* lblTestCount_;
    int32_t count_ = 0;
};

// Shows the test window modeless (made afresh after OK closed it) and counts one command.
void ShowCommTestAndCount();
// The window while it is loaded, else nullptr.
frmCommTest* CommTestIfLoaded();

} // namespace MainWindow
