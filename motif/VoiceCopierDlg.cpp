#include "motif/VoiceCopierDlg.h"

#include "motif/Motif.h"
#include "motif/MotifResources.h"
#include "zaltor/MidiPatchEdit.h"

#include <QCheckBox>
#include <QComboBox>

namespace {
constexpr int FieldWidth = 200;
constexpr int PerformanceParts = 4;
constexpr int MixParts = 16;
} // namespace

VoiceCopierDlg::VoiceCopierDlg(int mode, MidiDevice* device, QWidget* parent)
    : Dialog(parent), mode_(mode), device_(device),
      voice_(new MidiPatchEdit(this, device, QStringLiteral("VOICES"))),
      copyName_(new QCheckBox(tr("Copy voice name"), this)),
      copyVoice_(new QCheckBox(tr("Copy voice"), this)),
      copyFx_(new QCheckBox(tr("Copy system effects"), this)),
      copyInsFx_(new QCheckBox(tr("Copy insert FX to A/D Input"), this)),
      copyArp_(new QCheckBox(tr("Copy arpeggios"), this)), part_(new QComboBox(this))
{
    // The picture lives in the module's resources, which a host may open this dialog before
    // creating any device of the module.
    registerMotifResources();
    setWindowTitle(tr("Voice Copier"));
    SetFixedWindow(this);

    DialogForm form(tr("Voice Copier Settings"), QStringLiteral(":/motif/images/v2p.png"), 11, addHLayout(4));
    voice_->setMinimumSize(FieldWidth, 21);
    part_->setMaxVisibleItems(16);
    form.addRow(tr("Source voice:"), voice_, FieldWidth);
    form.addRow(tr("Destination part:"), part_, FieldWidth);
    for (QCheckBox* box : {copyName_, copyVoice_, copyFx_, copyInsFx_, copyArp_})
        form.addRow(QString(), box, FieldWidth);
    if (mode_ == Motif::SongMode) copyName_->hide();

    const int parts = mode_ == Motif::PerformanceMode ? PerformanceParts : MixParts;
    for (int part = 1; part <= parts; ++part) part_->addItem(QString::asprintf("%d", part));

    addHButtons(1, false);
    load();
}

VoiceCopierDlg::~VoiceCopierDlg() = default;

void VoiceCopierDlg::load()
{
    info_.fromRegistry(voice_->bankSet().firstPatch());
    voice_->setPatch(info_.voice);
    // A part stored from a mix may lie beyond the four of a performance; the copier would refuse it.
    part_->setCurrentIndex(info_.part >= 0 && info_.part < part_->count() ? info_.part : 0);
    copyVoice_->setChecked(info_.copyvoice);
    copyName_->setChecked(info_.copyname);
    copyFx_->setChecked(info_.copyfx);
    copyInsFx_->setChecked(info_.copyinsfx);
    copyArp_->setChecked(info_.copyarp);
}

void VoiceCopierDlg::accept()
{
    info_.voice = voice_->patch();
    info_.part = part_->currentIndex();
    info_.copyvoice = copyVoice_->isChecked();
    info_.copyname = copyName_->isChecked();
    info_.copyfx = copyFx_->isChecked();
    info_.copyinsfx = copyInsFx_->isChecked();
    info_.copyarp = copyArp_->isChecked();
    info_.toRegistry();
    Dialog::accept();
}

bool GetVoiceCopierInfo(VoiceCopierInfo& info, int mode, MidiDevice* device, QWidget* parent)
{
    VoiceCopierDlg dialog(mode, device, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    info = dialog.info();
    return true;
}
