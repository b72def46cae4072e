#include "main_window/frmSerialBuffer.h"

#include "core/SerialSettings.h"
#include "main_window/SerialCommandPort.h"
#include "platform/Text1252.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace MainWindow {

namespace {

// Control characters are shown as the profile's code tokens ("<ESC>", "<CR>", "<27>"), so
// the text box keeps them as typed and they can be typed by hand.
QString Shown(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '<')
            text += "<<>";
        else if (c == '\x1B')
            text += "<ESC>";
        else if (c == '\r')
            text += "<CR>";
        else if (c == '\n')
            text += "<LF>";
        else if (code < 32)
            text += "<" + std::to_string(code) + ">";
        else
            text += c;
    }
    return Platform::FromWindows1252(text);
}

std::string Taken(const QString& text) {
    return SerialSettings::ParseControlCodes(Platform::ToWindows1252(text));
}

} // namespace

SerialBufferEngine::SerialBufferEngine(SerialCommandPort& port, QObject* parent)
    : QObject(parent), port_(port) {
    tmrBuffer_.setInterval(100);
    connect(&tmrBuffer_, &QTimer::timeout, this, &SerialBufferEngine::tmrBuffer_Timer);
    tmrBuffer_.start();
}

void SerialBufferEngine::tmrBuffer_Timer() {
    if (busy_) return;
    busy_ = true;
    if (lastShown_ != port_.SerialInputBuffer) {
        text_ = port_.SerialInputBuffer;
        lastShown_ = text_;
        emit textChanged();
    }
    busy_ = false;
}

void SerialBufferEngine::cmdForceProcess_Click() {
    busy_ = true;
    lastShown_ = "REALLY UNLIKELY TO BE THIS";
    port_.SerialInputBuffer = text_;
    port_.ProcessSerialBuffer(port_.SerialInputBuffer);
    busy_ = false;
}

frmSerialBuffer::frmSerialBuffer(SerialCommandPort& port, QWidget* parent)
    : QWidget(parent), engine_(port), txtSerialBuffer_(new QPlainTextEdit) {
    setWindowTitle("ZEL Network Serial Buffer");
    auto* layout = new QVBoxLayout(this);
    auto* lblDesc = new QLabel("The Serial buffer currently contains:");
    lblDesc->setObjectName("lblDesc");
    layout->addWidget(lblDesc);
    txtSerialBuffer_->setObjectName("txtSerialBuffer");
    txtSerialBuffer_->installEventFilter(this);
    layout->addWidget(txtSerialBuffer_);
    auto* cmdForceProcess = new QPushButton("Force this to be processed now");
    cmdForceProcess->setObjectName("cmdForceProcess");
    layout->addWidget(cmdForceProcess);
    connect(cmdForceProcess, &QPushButton::clicked, &engine_,
            &SerialBufferEngine::cmdForceProcess_Click);
    connect(&engine_, &SerialBufferEngine::textChanged, this, [this] {
        QSignalBlocker quiet(txtSerialBuffer_);
        txtSerialBuffer_->setPlainText(Shown(engine_.Text()));
    });
    connect(txtSerialBuffer_, &QPlainTextEdit::textChanged, this,
            [this] { engine_.SetText(Taken(txtSerialBuffer_->toPlainText())); });
    resize(420, 240);
}

// Esc and Enter type the ESC and CR characters, so framing codes can be typed by hand.
bool frmSerialBuffer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSerialBuffer_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            txtSerialBuffer_->insertPlainText(key == Qt::Key_Escape ? "<ESC>" : "<CR>");
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace MainWindow
