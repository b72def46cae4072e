// The wave-format chooser: format tag, rate and channels of an encodable format.
#include "platform/Acm.h"
#include "platform/Codec.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include <cstring>

namespace Platform::Acm {

namespace {

FormatChooserHook& Hook() {
    static FormatChooserHook hook;
    return hook;
}

const uint16_t kChoosableTags[] = {WAVE_FORMAT_PCM,  WAVE_FORMAT_IMA_ADPCM,
                                   WAVE_FORMAT_ALAW, WAVE_FORMAT_MULAW,
                                   WAVE_FORMAT_MPEG, WAVE_FORMAT_MPEGLAYER3};
const uint32_t kChoosableRates[] = {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000};

// Shows the dialog; true with `format` set to the choice.
bool ShowChooser(int32_t, const char* title, std::vector<uint8_t>& format) {
    WaveFormatEx start = LoadWaveFormat(format.data(), format.size());
    QDialog dialog;
    dialog.setWindowTitle(title ? QString::fromLatin1(title) : QStringLiteral("Sound Selection"));
    auto* layout = new QFormLayout(&dialog);
    auto* tags = new QComboBox;
    auto* rates = new QComboBox;
    auto* channels = new QComboBox;
    auto* text = new QLabel;
    for (uint16_t tag : kChoosableTags)
        tags->addItem(Codec::FindTag(tag)->name, tag);
    for (uint32_t rate : kChoosableRates)
        rates->addItem(QString::number(rate) + " Hz", rate);
    channels->addItem("Mono", 1);
    channels->addItem("Stereo", 2);
    tags->setCurrentIndex(std::max(0, tags->findData(start.FormatTag)));
    rates->setCurrentIndex(std::max(0, rates->findData(start.SamplesPerSec)));
    channels->setCurrentIndex(start.Channels == 1 ? 0 : 1);
    auto buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addRow("Format:", tags);
    layout->addRow("Rate:", rates);
    layout->addRow("Channels:", channels);
    layout->addRow("Attributes:", text);
    layout->addRow(buttons);
    Codec::Format chosen;
    auto update = [&] {
        bool ok = Codec::BuildFormat(static_cast<uint16_t>(tags->currentData().toUInt()),
                                     static_cast<uint16_t>(channels->currentData().toUInt()),
                                     rates->currentData().toUInt(), 16, chosen);
        text->setText(ok ? QString::fromStdString(Codec::DescribeFormat(chosen))
                         : QStringLiteral("Not available"));
        buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
    };
    QObject::connect(tags, &QComboBox::currentIndexChanged, &dialog, update);
    QObject::connect(rates, &QComboBox::currentIndexChanged, &dialog, update);
    QObject::connect(channels, &QComboBox::currentIndexChanged, &dialog, update);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    update();
    if (dialog.exec() != QDialog::Accepted) return false;
    format = chosen.Bytes();
    return true;
}

} // namespace

void SetFormatChooserHook(FormatChooserHook hook) {
    Hook() = std::move(hook);
}

MMRESULT acmFormatChoose(ACMFORMATCHOOSE* choose) {
    if (!choose || !choose->pwfx || choose->cbwfx < kFormatHeadSize) return MMSYSERR_INVALPARAM;
    std::vector<uint8_t> format(kFormatHeadSize, 0);
    if (choose->fdwStyle & ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT) {
        WaveFormatEx head = LoadWaveFormat(choose->pwfx, kFormatHeadSize);
        size_t size = std::min<size_t>(choose->cbwfx, kFormatHeadSize + head.ExtraSize);
        format.assign(choose->pwfx, choose->pwfx + size);
    }
    bool chosen;
    if (Hook())
        chosen = Hook()(format);
    else if (MsgBoxIsHeadless())
        chosen = false; // nobody to choose
    else
        chosen = ShowChooser(choose->hwndOwner, choose->pszTitle, format);
    if (!chosen) return ACMERR_CANCELED;
    if (format.size() < kFormatHeadSize || format.size() > choose->cbwfx)
        return MMSYSERR_INVALPARAM;
    std::memcpy(choose->pwfx, format.data(), format.size());
    return MMSYSERR_NOERROR;
}

} // namespace Platform::Acm
