#include "browsing/frmLogViewer.h"

#include "browsing/PrintTarget.h"
#include "browsing/frmSelectHour.h"
#include "core/GeneralFunctions.h"
#include "platform/Text1252.h"
#include "platform/VB.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPrinter>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace Browsing {

namespace {

constexpr int kTwips = 15;
constexpr int kMinWidth = 7650;

QString Q(const std::string& text) {
    return Platform::FromWindows1252(text);
}

} // namespace

frmLogViewer::frmLogViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), lblStartDay_(new QLabel), txtStartDate_(new QLineEdit),
      txtStarthour_(new QLineEdit), cmdPrint_(new QPushButton("Print")),
      lViewLog_(new QTreeWidget) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(kMinWidth / kTwips, 2000 / kTwips);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* strip = new QHBoxLayout;
    auto* cmdStart = new QPushButton("Display Log From:");
    auto* cmdView = new QPushButton("View");
    auto* minutes = new QLineEdit("00");
    minutes->setFixedWidth(28);
    minutes->setReadOnly(true);
    txtStarthour_->setMaxLength(2);
    txtStarthour_->setFixedWidth(28);
    txtStarthour_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), txtStarthour_));
    lblStartDay_->setMinimumWidth(70);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdStart, lblStartDay_, txtStartDate_,
                                                      txtStarthour_, minutes, cmdView, cmdPrint_})
        strip->addWidget(w);
    layout->addLayout(strip);
    layout->addWidget(lViewLog_);
    lViewLog_->setRootIsDecorated(false);
    lViewLog_->setHeaderLabels({"Time", "Cart", "Title", "REF"});
    engine_.Load(kMinWidth);
    const int widths[] = {600, 600, 3000, engine_.RefWidth};
    for (int c = 0; c < 4; ++c)
        lViewLog_->setColumnWidth(c, widths[c] / kTwips);
    resize(kMinWidth / kTwips, 420);
    connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { PrintInfo(); });
    connect(txtStartDate_, &QLineEdit::textEdited, this, [this] {
        ReadBoxes();
        engine_.DateChanged();
        lblStartDay_->setText(Q(engine_.lblStartDay));
    });
    connect(txtStartDate_, &QLineEdit::editingFinished, this, [this] {
        ReadBoxes();
        engine_.DateLostFocus();
        Mirror();
    });
    Mirror();
}

frmLogViewer::~frmLogViewer() = default;

void frmLogViewer::ReadBoxes() {
    engine_.txtStartDate = Platform::ToWindows1252(txtStartDate_->text());
    engine_.txtStarthour = Platform::ToWindows1252(txtStarthour_->text());
}

void frmLogViewer::Mirror() {
    txtStartDate_->setText(Q(engine_.txtStartDate));
    txtStarthour_->setText(Q(engine_.txtStarthour));
    lblStartDay_->setText(Q(engine_.lblStartDay));
    if (!engine_.Caption.empty()) setWindowTitle(Q(engine_.Caption));
    cmdPrint_->setEnabled(engine_.cmdPrintEnabled);
}

void frmLogViewer::DisplayLog(int32_t LogDate, float LogTime) {
    engine_.DisplayLog(LogDate, LogTime);
    lViewLog_->clear();
    for (const LogRow& row : engine_.Rows)
        lViewLog_->addTopLevelItem(
            new QTreeWidgetItem({Q(row.Time), Q(row.Cart), Q(row.Title), Q(row.Reference)}));
    if (engine_.MarkedRow > 0) {
        QTreeWidgetItem* marked = lViewLog_->topLevelItem(engine_.MarkedRow - 1);
        lViewLog_->setCurrentItem(marked);
        lViewLog_->scrollToItem(marked);
    }
    Mirror();
}

void frmLogViewer::cmdView_Click() {
    ReadBoxes();
    if (!engine_.View()) return;
    DisplayLog(engine_.DisplayedDate, static_cast<float>(VB::Val(engine_.txtStarthour) * 3600));
}

void frmLogViewer::cmdStart_Click() {
    ReadBoxes();
    if (!picker_) picker_ = new frmSelectHour(this);
    picker_->Engine().Tag = engine_.PickerRequest();
    picker_->Engine().txtMinutes = "00";
    picker_->exec();
    engine_.ApplyPickerAnswer(picker_->Engine().Tag);
    Mirror();
}

void frmLogViewer::PrintInfo() {
    ReadBoxes();
    for (int i = 0; i < lViewLog_->topLevelItemCount() && i < static_cast<int>(engine_.Rows.size());
         ++i)
        engine_.Rows[static_cast<size_t>(i)].Selected = lViewLog_->topLevelItem(i)->isSelected();
    QApplication::processEvents();
    QPrinter printer;
    ConfigurePrinter(printer);
    QtPrinterSurface surface(printer);
    engine_.PrintInfo(surface);
}

void frmLogViewer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void mnuSplitViewLogs_Click(QWidget* owner) {
    static QPointer<frmLogViewer> viewer;
    if (!viewer) viewer = new frmLogViewer(owner);
    viewer->Engine().SplitNumber = 1;
    viewer->DisplayLog(GeneralFunctions::TimeStampNow(false).Day + 1, 0);
    viewer->show();
}

} // namespace Browsing
