#include "browsing/frmFindCart.h"

#include "browsing/KeyCodes.h"
#include "platform/Text1252.h"

#include <QCloseEvent>
#include <QDrag>
#include <QGroupBox>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <memory>

namespace Browsing {

namespace {

constexpr int kTwips = 15;
constexpr int kListWidth = 6900;

int Px(int twips) {
    return twips / kTwips;
}

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
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), tabFind_(new QTabWidget(this)),
      cmbSearchText_(new QComboBox), cmbSearchDirection_(new QComboBox),
      chkSearchFromStart_(new QCheckBox),
      chkNotes_(new QCheckBox("Search each carts &notes as well")),
      chkLimitLines_(new QCheckBox("Only Search these lines:")), frameDescriptions_(new QGroupBox),
      chkTimeSearch_(new QCheckBox("Time Rules")), frameTimeSearch_(new QGroupBox),
      mskLength_(new QLineEdit), comboLength_(new QComboBox),
      cmdFind_(new QPushButton("&Find", this)), cmdStop_(new QPushButton("Sto&p", this)),
      lblSearchCart_(new QLabel("Cart:", this)), lblSearchCartNumber_(new QLabel(this)),
      lviewItems_(new QTreeWidget(this)) {
    setWindowTitle("Find a cart on the Audiowall");
    setAttribute(Qt::WA_ShowWithoutActivating);
    cmbSearchText_->setEditable(true);
    cmbSearchText_->setObjectName("cmbSearchText");
    cmbSearchDirection_->addItems({"Forwards", "Backwards"});

    auto* basic = new QWidget;
    auto* basicLayout = new QVBoxLayout(basic);
    basicLayout->setSpacing(2);
    basicLayout->setContentsMargins(6, 4, 6, 4);
    auto* lblFindText = new QLabel("Find this &text:");
    lblFindText->setBuddy(cmbSearchText_);
    auto* lblFindDirection = new QLabel("Find &direction:");
    lblFindDirection->setBuddy(cmbSearchDirection_);
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblFindText, cmbSearchText_, lblFindDirection,
                                         cmbSearchDirection_, chkSearchFromStart_, chkNotes_})
        basicLayout->addWidget(w);
    basicLayout->addStretch();

    auto* advanced = new QWidget;
    auto* advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->setSpacing(2);
    advancedLayout->setContentsMargins(6, 4, 6, 4);
    auto* linesLayout = new QHBoxLayout(frameDescriptions_);
    for (int i = 0; i < 3; ++i) {
        chkLine_[i] = new QCheckBox(QString("Line %1").arg(i + 1));
        linesLayout->addWidget(chkLine_[i]);
    }
    auto* timeLayout = new QHBoxLayout(frameTimeSearch_);
    mskLength_->setInputMask("99:99;_");
    mskLength_->setFixedWidth(Px(900));
    for (const ToleranceItem& item : kTolerances)
        comboLength_->addItem(item.Caption, item.Seconds);
    timeLayout->addWidget(new QLabel("Only search carts whose lengths are:"));
    timeLayout->addWidget(mskLength_);
    timeLayout->addWidget(new QLabel("(min:sec)"));
    timeLayout->addWidget(new QLabel("Give or Take:"));
    timeLayout->addWidget(comboLength_);
    advancedLayout->addWidget(chkLimitLines_);
    advancedLayout->addWidget(frameDescriptions_);
    advancedLayout->addWidget(chkTimeSearch_);
    advancedLayout->addWidget(frameTimeSearch_);
    advancedLayout->addStretch();
    tabFind_->addTab(basic, "&Basic");
    tabFind_->addTab(advanced, "&Advanced");

    lviewItems_->setColumnCount(6);
    lviewItems_->setHeaderLabels({"", "Cart", "Line 1", "Line 2", "Line 3", "Length"});
    lviewItems_->setRootIsDecorated(false);
    lviewItems_->header()->setSectionsClickable(true);
    lviewItems_->header()->setSortIndicatorShown(false);
    lviewItems_->setColumnHidden(0, true);
    const int lineWidth = (kListWidth - 1745) / 3;
    const int widths[] = {0, 700, lineWidth, lineWidth, lineWidth, 700};
    for (int c = 1; c < 6; ++c)
        lviewItems_->setColumnWidth(c, Px(widths[c]));
    lviewItems_->viewport()->installEventFilter(this);
    lviewItems_->installEventFilter(this);

    tabFind_->setGeometry(Px(60), Px(60), Px(kListWidth), Px(2000));
    cmdFind_->setGeometry(Px(60), Px(2130), Px(1100), Px(375));
    cmdStop_->setGeometry(Px(1260), Px(2130), Px(1100), Px(375));
    lblSearchCart_->setGeometry(Px(2500), Px(2180), Px(500), Px(300));
    lblSearchCartNumber_->setGeometry(Px(3000), Px(2180), Px(900), Px(300));
    lviewItems_->setGeometry(Px(60), Px(2600), Px(kListWidth), Px(2000));
    cmdFind_->setDefault(true);

    connect(cmdFind_, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdStop_, &QPushButton::clicked, this, [this] { engine_.cmdStop_Click(); });
    connect(cmbSearchDirection_, &QComboBox::currentIndexChanged, this, [this](int index) {
        engine_.Direction = index;
        chkSearchFromStart_->setText(Q(engine_.SearchFromStartCaption()));
    });
    connect(chkLimitLines_, &QCheckBox::clicked, this, [this](bool checked) {
        ReadFields();
        engine_.SetLimitLines(checked);
        Mirror();
    });
    connect(chkTimeSearch_, &QCheckBox::clicked, this, [this](bool checked) {
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
    engine_.Load();
    Mirror();
}

void frmFindCart::ReadFields() {
    if (mirroring_) return;
    engine_.SearchText = S(cmbSearchText_->currentText());
    engine_.Direction = cmbSearchDirection_->currentIndex();
    engine_.SearchFromStart = chkSearchFromStart_->isChecked();
    engine_.Notes = chkNotes_->isChecked();
    engine_.LimitLines = chkLimitLines_->isChecked();
    for (size_t i = 0; i < 3; ++i)
        engine_.Lines[i] = chkLine_[i]->isChecked();
    engine_.TimeSearch = chkTimeSearch_->isChecked();
    engine_.Length = S(mskLength_->text());
    engine_.ToleranceIndex = std::max(0, comboLength_->currentIndex());
}

void frmFindCart::cmdFind_Click() {
    ReadFields();
    engine_.cmdFind_Click();
    cmdStop_->setFocus();
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
    cmbSearchDirection_->setCurrentIndex(engine_.Direction);
    chkSearchFromStart_->setText(Q(engine_.SearchFromStartCaption()));
    chkSearchFromStart_->setChecked(engine_.SearchFromStart);
    chkNotes_->setChecked(engine_.Notes);
    chkLimitLines_->setChecked(engine_.LimitLines);
    chkTimeSearch_->setChecked(engine_.TimeSearch);
    for (size_t i = 0; i < 3; ++i) {
        chkLine_[i]->setChecked(engine_.Lines[i]);
        chkLine_[i]->setEnabled(engine_.LineBoxesEnabled());
    }
    frameDescriptions_->setEnabled(engine_.LineBoxesEnabled());
    frameTimeSearch_->setEnabled(engine_.TimeFieldsEnabled());
    mskLength_->setText(Q(engine_.Length));
    comboLength_->setCurrentIndex(engine_.ToleranceIndex);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbSearchText_, cmbSearchDirection_, chkSearchFromStart_,
                                         chkNotes_, chkLimitLines_, chkTimeSearch_})
        w->setEnabled(fields);
    cmdFind_->setEnabled(engine_.cmdFindEnabled);
    cmdStop_->setEnabled(engine_.cmdStopEnabled);
    lblSearchCart_->setVisible(engine_.ProgressVisible);
    lblSearchCartNumber_->setVisible(engine_.ProgressVisible);
    lblSearchCartNumber_->setText(QString::number(engine_.ProgressNumber));
    tabFind_->setCurrentIndex(engine_.CurrentPage);
    lviewItems_->setVisible(engine_.ListVisible);
    setFixedSize(Px(kListWidth + 180), Px(engine_.WindowHeight) - 30);
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
    lblSearchCartNumber_->setText(QString::number(engine_.ProgressNumber));
    mirroring_ = false;
}

void frmFindCart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
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
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int16_t code = KeyCodeOf(*key);
        if (watched == lviewItems_ && code == kKeyReturn) {
            engine_.Pick();
            return true;
        }
        if (code == kKeyReturn && cmdFind_->isEnabled() && watched != lviewItems_) {
            cmdFind_Click();
            return true;
        }
        if (engine_.KeyDown(code, ShiftBits(key->modifiers()))) return true;
    }
    if (watched == lviewItems_->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                                   type == QEvent::MouseButtonRelease
                               ? mouse->position() * kTwips
                               : QPointF();
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
