#pragma once
// The serial buffer window: shows the unframed serial text live, lets it be edited and pushed
// through the framer again. The engine keeps the text and the refresh rules; the window
// mirrors its text and forwards edits and the Force button.
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <string>

class QPlainTextEdit;

namespace MainWindow {

class SerialCommandPort;

class SerialBufferEngine : public QObject {
    Q_OBJECT
public:
    explicit SerialBufferEngine(SerialCommandPort& port, QObject* parent = nullptr);

    // txtSerialBuffer's text.
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { text_ = text; }
    // tmrBuffer: rewrites the text only when the buffer has changed since it was last shown.
    void tmrBuffer_Timer();
    // cmdForceProcess: the text becomes the buffer and is framed now.
    void cmdForceProcess_Click();

signals:
    void textChanged();

private:
    SerialCommandPort& port_;
    QTimer tmrBuffer_;
    bool busy_ = false; // tmrBuffer.Tag
    std::string text_;
    std::string lastShown_;
};

class frmSerialBuffer : public QWidget {
    Q_OBJECT
public:
    explicit frmSerialBuffer(SerialCommandPort& port, QWidget* parent = nullptr);
    SerialBufferEngine& Engine() { return engine_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SerialBufferEngine engine_;
    QPlainTextEdit* txtSerialBuffer_;
};

} // namespace MainWindow
