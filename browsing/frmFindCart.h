#pragma once
// The cart search window: one shared instance that shows the engine's fields and results and
// forwards input; the search itself runs in the engine's steps.
#include "browsing/FindCartEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

class QGroupBox;

namespace Browsing {

class frmFindCart : public QWidget {
    Q_OBJECT
public:
    explicit frmFindCart(QWidget* parent = nullptr);

    FindCartEngine& Engine() { return engine_; }
    QTreeWidget* lviewItems() const { return lviewItems_; }
    QComboBox* cmbSearchText() const { return cmbSearchText_; }

    // Copies the boxes into the engine and starts a search.
    void cmdFind_Click();
    void EnableControls();
    void DisableControls();
    void StoreLastSearches() { engine_.StoreLastSearches(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutWindow();
    void ReadFields();
    void Mirror();
    void MirrorResults();

    FindCartEngine engine_;
    QTabWidget* tabFind;
    QComboBox* cmbSearchText_;
    QComboBox* cmbSearchDirection;
    QCheckBox* chkSearchFromStart;
    QCheckBox* chkNotes;
    QCheckBox* chkLimitLines;
    QGroupBox* frameDescriptions;
    QCheckBox* chkLine[3];
    QCheckBox* chkTimeSearch;
    QGroupBox* frameTimeSearch;
    QLineEdit* mskLength;
    QComboBox* comboLength;
    QPushButton* cmdFind;
    QPushButton* cmdStop;
    QLabel* lblSearchCart;
    QLabel* lblSearchCartNumber;
    QTreeWidget* lviewItems_;
    bool mirroring_ = false;
    int compactHeight_ = 0; // pixels: the fields and buttons
    int tallHeight_ = 0;    // pixels: with the result list
};

// The shared search window, loaded on first use.
frmFindCart& FindCart();
void UnloadFindCart();

} // namespace Browsing
