#include "browsing/frmFindCart.h"

#include "browsing/KeyCodes.h"
#include "browsing/Twips.h"
#include "platform/Text1252.h"

#include <QCloseEvent>
#include <QDrag>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <memory>

namespace Browsing {

namespace {

constexpr int kListWidth = 6900;
constexpr int kCompactHeight = 2745; // the window's height while no search has run

QString Q(const std::string& text) {
    return Platform::FromWindows1252(text);
}
std::string S(const QString& text) {
    return Platform::ToWindows1252(text);
}

std::unique_ptr<frmFindCart>& Instance() {
    static std::unique_ptr<frmFindCart> instance;
    return instance;
}

} // namespace

frmFindCart::frmFindCart(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), tabFind(new QTabWidget(this)),
      cmbSearchText_(new QComboBox), cmbSearchDirection(new QComboBox),
      chkSearchFromStart(new QCheckBox),
      chkNotes(new QCheckBox("Search each carts &notes as well")),
      chkLimitLines(new QCheckBox("Only Search these lines:")), frameDescriptions(new QGroupBox),
      chkTimeSearch(new QCheckBox("Time Rules")), frameTimeSearch(new QGroupBox),
      mskLength(new QLineEdit), comboLength(new QComboBox), cmdFind(new QPushButton("&Find", this)),
      cmdStop(new QPushButton("Sto&p", this)), lblSearchCart(new QLabel("Cart:", this)),
      lblSearchCartNumber(new QLabel(this)), lviewItems_(new QTreeWidget(this)) {
    setWindowTitle("Find a cart on the Audiowall");
    setAttribute(Qt::WA_ShowWithoutActivating);
    cmbSearchText_->setEditable(true);
    cmbSearchText_->setObjectName("cmbSearchText");
    cmbSearchDirection->addItems({"Forwards", "Backwards"});

    auto* basic = new QWidget;
    auto* basicLayout = new QGridLayout(basic);
    basicLayout->setSpacing(2);
    basicLayout->setContentsMargins(6, 4, 6, 4);
    auto* lblFindText = new QLabel("Find this &text:");
    lblFindText->setBuddy(cmbSearchText_);
    auto* lblFindDirection = new QLabel("Find &direction:");
    lblFindDirection->setBuddy(cmbSearchDirection);
    basicLayout->addWidget(lblFindText, 0, 0);
    basicLayout->addWidget(cmbSearchText_, 0, 1);
    basicLayout->addWidget(lblFindDirection, 1, 0);
    basicLayout->addWidget(cmbSearchDirection, 1, 1);
    basicLayout->addWidget(chkSearchFromStart, 2, 0, 1, 2);
    basicLayout->addWidget(chkNotes, 3, 0, 1, 2);
    basicLayout->setColumnStretch(1, 1);
    basicLayout->setRowStretch(4, 1);

    auto* advanced = new QWidget;
    auto* advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->setSpacing(2);
    advancedLayout->setContentsMargins(6, 4, 6, 4);
    auto* linesLayout = new QHBoxLayout(frameDescriptions);
    for (int i = 0; i < 3; ++i) {
        chkLine[i] = new QCheckBox(QString("Line %1").arg(i + 1));
        linesLayout->addWidget(chkLine[i]);
    }
    // The time rule in two rows, so that the page fits the window's width.
    auto* timeLayout = new QGridLayout(frameTimeSearch);
    mskLength->setInputMask("99:99;_");
    mskLength->setFixedWidth(Px(900));
    for (const ToleranceItem& item : kTolerances)
        comboLength->addItem(item.Caption, item.Seconds);
    auto* lblTimeDesc = new QLabel("Only search carts whose lengths are:");
    auto* lblMinSec = new QLabel("(min:sec)");
    auto* lblTimeDesc2 = new QLabel("Give or Take:");
    timeLayout->addWidget(lblTimeDesc, 0, 0);
    timeLayout->addWidget(mskLength, 0, 1);
    timeLayout->addWidget(lblMinSec, 0, 2);
    timeLayout->addWidget(lblTimeDesc2, 1, 0, Qt::AlignRight);
    timeLayout->addWidget(comboLength, 1, 1, 1, 2);
    timeLayout->setColumnStretch(3, 1);
    auto* linesRow = new QHBoxLayout;
    linesRow->addWidget(chkLimitLines);
    linesRow->addWidget(frameDescriptions, 1);
    advancedLayout->addLayout(linesRow);
    advancedLayout->addWidget(chkTimeSearch);
    advancedLayout->addWidget(frameTimeSearch);
    advancedLayout->addStretch();
    tabFind->addTab(basic, "&Basic");
    tabFind->addTab(advanced, "&Advanced");

    lviewItems_->setColumnCount(6);
    lviewItems_->setHeaderLabels({"", "Cart", "Line 1", "Line 2", "Line 3", "Length"});
    lviewItems_->setRootIsDecorated(false);
    lviewItems_->header()->setSectionsClickable(true);
    lviewItems_->header()->setSortIndicatorShown(false);
    lviewItems_->setColumnHidden(0, true);
    const char* const keys[] = {"cart", "cartno", "line1", "line2", "line3", "length"};
    for (int c = 0; c < 6; ++c)
        lviewItems_->headerItem()->setData(c, Qt::UserRole, keys[c]);
    const int lineWidth = (kListWidth - 1745) / 3;
    const int widths[] = {0, 700, lineWidth, lineWidth, lineWidth, 700};
    for (int c = 1; c < 6; ++c)
        lviewItems_->setColumnWidth(c, Px(widths[c]));
    lviewItems_->viewport()->installEventFilter(this);
    lviewItems_->installEventFilter(this);

    LayoutWindow();
    cmdFind->setDefault(true);

    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { engine_.cmdStop_Click(); });
    connect(cmbSearchDirection, &QComboBox::currentIndexChanged, this, [this](int index) {
        engine_.Direction = index;
        chkSearchFromStart->setText(Q(engine_.SearchFromStartCaption()));
    });
    connect(chkLimitLines, &QCheckBox::clicked, this, [this](bool checked) {
        ReadFields();
        engine_.SetLimitLines(checked);
        Mirror();
    });
    connect(chkTimeSearch, &QCheckBox::clicked, this, [this](bool checked) {
        ReadFields();
        engine_.SetTimeSearch(checked);
        Mirror();
    });
    connect(lviewItems_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { engine_.ColumnClick(column); });
    connect(lviewItems_, &QTreeWidget::itemDoubleClicked, this, [this] { engine_.Pick(); });
    connect(lviewItems_, &QTreeWidget::currentItemChanged, this, [this] {
        if (!mirroring_)
            engine_.SelectedResult = lviewItems_->indexOfTopLevelItem(lviewItems_->currentItem());
    });
    connect(&engine_, &FindCartEngine::Changed, this, &frmFindCart::Mirror);
    connect(&engine_, &FindCartEngine::ResultsChanged, this, &frmFindCart::MirrorResults);
    connect(&engine_, &FindCartEngine::HideRequested, this, &QWidget::hide);
    connect(&engine_, &FindCartEngine::FocusList, this, [this] { lviewItems_->setFocus(); });
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);
    engine_.Load();
    Mirror();
}

void frmFindCart::LayoutWindow() {
    // The fields take the height their pages need; the buttons and the list follow them.
    const int tabHeight = std::max(Px(2000), tabFind->minimumSizeHint().height());
    tabFind->setGeometry(Px(60), Px(60), Px(kListWidth), tabHeight);
    const int buttonsTop = tabFind->geometry().bottom() + 1 + Px(75);
    cmdFind->setGeometry(Px(60), buttonsTop, Px(1100), Px(375));
    cmdStop->setGeometry(Px(1260), buttonsTop, Px(1100), Px(375));
    lblSearchCart->setGeometry(Px(2500), buttonsTop + Px(45), Px(500), Px(300));
    lblSearchCartNumber->setGeometry(Px(3000), buttonsTop + Px(45), Px(900), Px(300));
    const int listTop = cmdFind->geometry().bottom() + 1 + Px(90);
    lviewItems_->setGeometry(Px(60), listTop, Px(kListWidth), Px(2000));
    compactHeight_ = listTop;
    tallHeight_ = lviewItems_->geometry().bottom() + 1 + Px(60);
}

void frmFindCart::ReadFields() {
    if (mirroring_) return;
    engine_.SearchText = S(cmbSearchText_->currentText());
    engine_.Direction = cmbSearchDirection->currentIndex();
    engine_.SearchFromStart = chkSearchFromStart->isChecked();
    engine_.Notes = chkNotes->isChecked();
    engine_.LimitLines = chkLimitLines->isChecked();
    for (size_t i = 0; i < 3; ++i)
        engine_.Lines[i] = chkLine[i]->isChecked();
    engine_.TimeSearch = chkTimeSearch->isChecked();
    engine_.Length = S(mskLength->text());
    engine_.ToleranceIndex = std::max(0, comboLength->currentIndex());
}

void frmFindCart::cmdFind_Click() {
    ReadFields();
    engine_.cmdFind_Click();
    cmdStop->setFocus();
}

void frmFindCart::EnableControls() {
    engine_.FieldsEnabled = true;
    Mirror();
}

void frmFindCart::DisableControls() {
    engine_.FieldsEnabled = false;
    Mirror();
}

void frmFindCart::Mirror() {
    mirroring_ = true;
    const bool fields = engine_.FieldsEnabled;
    cmbSearchText_->clear();
    for (const std::string& text : engine_.SearchTexts)
        cmbSearchText_->addItem(Q(text));
    cmbSearchText_->setEditText(Q(engine_.SearchText));
    cmbSearchDirection->setCurrentIndex(engine_.Direction);
    chkSearchFromStart->setText(Q(engine_.SearchFromStartCaption()));
    chkSearchFromStart->setChecked(engine_.SearchFromStart);
    chkNotes->setChecked(engine_.Notes);
    chkLimitLines->setChecked(engine_.LimitLines);
    chkTimeSearch->setChecked(engine_.TimeSearch);
    for (size_t i = 0; i < 3; ++i) {
        chkLine[i]->setChecked(engine_.Lines[i]);
        chkLine[i]->setEnabled(engine_.LineBoxesEnabled());
    }
    frameDescriptions->setEnabled(engine_.LineBoxesEnabled());
    frameTimeSearch->setEnabled(engine_.TimeFieldsEnabled());
    mskLength->setText(Q(engine_.Length));
    comboLength->setCurrentIndex(engine_.ToleranceIndex);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbSearchText_, cmbSearchDirection, chkSearchFromStart,
                                         chkNotes, chkLimitLines, chkTimeSearch})
        w->setEnabled(fields);
    cmdFind->setEnabled(engine_.cmdFindEnabled);
    cmdStop->setEnabled(engine_.cmdStopEnabled);
    lblSearchCart->setVisible(engine_.ProgressVisible);
    lblSearchCartNumber->setVisible(engine_.ProgressVisible);
    lblSearchCartNumber->setText(QString::number(engine_.ProgressNumber));
    tabFind->setCurrentIndex(engine_.CurrentPage);
    lviewItems_->setVisible(engine_.ListVisible);
    setFixedSize(Px(kListWidth + 180),
                 engine_.WindowHeight > kCompactHeight ? tallHeight_ : compactHeight_);
    mirroring_ = false;
}

void frmFindCart::MirrorResults() {
    mirroring_ = true;
    lviewItems_->clear();
    for (const FindResultRow& row : engine_.Results) {
        QStringList cells{Q(row.Text)};
        for (const std::string& cell : row.Cells)
            cells << Q(cell);
        lviewItems_->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    if (engine_.SelectedResult >= 0)
        lviewItems_->setCurrentItem(lviewItems_->topLevelItem(engine_.SelectedResult));
    lblSearchCartNumber->setText(QString::number(engine_.ProgressNumber));
    mirroring_ = false;
}

void frmFindCart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    LayoutWindow();
    engine_.Shown = true;
    engine_.Activate();
    Mirror();
    MirrorResults();
    cmbSearchText_->setFocus();
}

void frmFindCart::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    engine_.Shown = false;
}

void frmFindCart::closeEvent(QCloseEvent* event) {
    // Hidden, not destroyed: a running search ends at its next step.
    event->ignore();
    engine_.CloseFromTitleBar();
}

bool frmFindCart::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && FirstKeyStop(*this, watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int16_t code = KeyCodeOf(*key);
        if (watched == lviewItems_ && code == kKeyReturn) {
            engine_.Pick();
            return true;
        }
        if (code == kKeyReturn && cmdFind->isEnabled() && watched != lviewItems_) {
            cmdFind_Click();
            return true;
        }
        // The engine mirrors its fields back after a key (a page switch), so it takes what
        // is typed first.
        ReadFields();
        if (engine_.KeyDown(code, ShiftBits(key->modifiers()))) return true;
    }
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse && watched == lviewItems_->viewport()) {
        const QPointF at = mouse->position() * kTwips;
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            engine_.ListPress(static_cast<float>(at.x()), static_cast<float>(at.y()));
        if (type == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton) &&
            engine_.ListMove(static_cast<float>(at.x()), static_cast<float>(at.y()))) {
            lviewItems_->setProperty("Tag", Q(engine_.DragTag));
            auto* drag = new QDrag(lviewItems_);
            auto* data = new QMimeData;
            data->setText(Q(engine_.DragTag));
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction);
            return true;
        }
        if (type == QEvent::MouseButtonRelease) engine_.ListRelease();
    }
    return QWidget::eventFilter(watched, event);
}

frmFindCart& FindCart() {
    if (!Instance()) Instance() = std::make_unique<frmFindCart>();
    return *Instance();
}

void UnloadFindCart() {
    Instance().reset();
}

} // namespace Browsing
