#pragma once
// The advert log viewer window: the navigation strip and the four-column list over the
// engine; the picker and printing are opened from here.
#include "browsing/LogViewerEngine.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

namespace Browsing {

class frmSelectHour;

class frmLogViewer : public QWidget {
    Q_OBJECT
public:
    explicit frmLogViewer(QWidget* parent = nullptr);
    ~frmLogViewer() override;

    LogViewerEngine& Engine() { return engine_; }
    QTreeWidget* lViewLog() const { return lViewLog_; }
    QPushButton* cmdPrint() const { return cmdPrint_; }
    void DisplayLog(int32_t LogDate, float LogTime);
    void PrintInfo();
    void cmdView_Click();
    void cmdStart_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadBoxes();
    void Mirror();

    LogViewerEngine engine_;
    QLabel* lblStartDay_;
    QLineEdit* txtStartDate_;
    QLineEdit* txtStarthour_;
    QPushButton* cmdPrint_;
    QTreeWidget* lViewLog_;
    frmSelectHour* picker_ = nullptr;
};

// The split window's view-logs command: the viewer for tomorrow from hour 0, owned by owner.
void mnuSplitViewLogs_Click(QWidget* owner);

} // namespace Browsing
