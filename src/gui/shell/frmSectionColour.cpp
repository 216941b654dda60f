#include "gui/shell/frmSectionColour.h"

#include "controls/RsvColor.h"
#include "core/state/CoreContext.h"
#include "gui/pages/Page.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/PaletteStore.h"
#include "gui/shell/Shell.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int32_t WindowBack = RsvSystemColor::WindowBackground;
constexpr int32_t WindowText = RsvSystemColor::WindowText;

const char* const PageTags[] = {"A1", "A2", "A3", "A4", "A5"};

QLabel* SectionLabel(QWidget* parent, const QString& name, const QString& caption, int width, int height)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    l->setFixedSize(width, height);
    return l;
}

} // namespace

// Backgrounds and texts of sections 1..4 of each preset.
const std::array<frmSectionColour::Preset, frmSectionColour::PresetCount> frmSectionColour::Presets = {{
    {{0x80, 0x808080, WindowBack, 0x0}, {0xFFFFFF, 0xFFFFFF, WindowText, WindowBack}},
    {{0xFF, 0xFFFF, 0xC00000, 0xFF8080}, {0xFFFFFF, WindowText, 0xFFFFFF, 0xFFFFFF}},
    {{0x4080, 0xC0E0FF, 0x8080FF, 0xC0}, {0xFFFFFF, 0x0, WindowText, WindowText}},
    {{0x800080, 0xC0E0FF, 0x80FF, 0xFF}, {0xFFFFFF, 0x0, WindowText, WindowText}},
    {{0xFF, 0xC000, 0xC00000, 0xFFFF}, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x0}},
    {{0xC0, 0xC0C0FF, 0xFF, 0xC00000}, {0xFFFFFF, 0x0, 0xFFFFFF, 0xFFFFFF}},
}};

PaletteColours frmSectionColour::PresetColours(int k)
{
    PaletteColours c;
    const Preset& p = Presets.at(static_cast<size_t>(k));
    c.Back = p.Back;
    c.Text = p.Text;
    return c;
}

void PaintSectionLabel(QLabel& label, int32_t back, int32_t text)
{
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, RsvColorFromOle(back));
    pal.setColor(QPalette::WindowText, RsvColorFromOle(text));
    label.setAutoFillBackground(true);
    label.setPalette(pal);
}

// ---------------------------------------------------------------------------
// The shared palette

void frmSectionColour::RefreshPages(Shell& shell)
{
    for (const char* tag : PageTags)
        if (Page* p = shell.PageByTag(QString::fromLatin1(tag)))
            p->RefreshColour();
}

void frmSectionColour::frmSectionColourInit(Shell& shell)
{
    PaletteStore& store = PaletteStore::Of(shell);
    PaletteColours& palette = shell.Context().Palette;
    const PaletteStore::LoadResult result = store.Load(palette);
    if (result != PaletteStore::LoadResult::Loaded)
        palette = PresetColours(0);
    if (result == PaletteStore::LoadResult::Damaged && store.TakeDamageReport())
        shell.Dialog().Message(shell.Window(),
                               QStringLiteral("The palette file is damaged: ") + store.Problem() +
                                   QStringLiteral("\rThe first preset palette is used until a palette is saved "
                                                  "with OK in Set / Palette."),
                               MessageIcon::Warning);
    RefreshPages(shell);
}

frmSectionColour& frmSectionColour::Instance(Shell& shell)
{
    QWidget* window = shell.Window();
    if (auto* dlg = window->findChild<frmSectionColour*>(QStringLiteral("frmSectionColour"),
                                                         Qt::FindDirectChildrenOnly))
        return *dlg;
    return *new frmSectionColour(shell, window);
}

// ---------------------------------------------------------------------------
// The dialog

frmSectionColour::frmSectionColour(Shell& shell, QWidget* parent) : QDialog(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("frmSectionColour"));
    setProperty("ManualPage", ManualPage);
    setWindowTitle(QString::fromLatin1(Dialogs::ApplicationTitle) + QLatin1String(CaptionSuffix));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* root = new QVBoxLayout(this);

    // The four sections with their two colour buttons.
    auto* current = new QGroupBox(this);
    current->setObjectName(QStringLiteral("fraSections"));
    auto* grid = new QGridLayout(current);
    for (int i = 0; i < Sections; ++i) {
        const auto n = static_cast<size_t>(i);
        lblSec[n] = SectionLabel(current, QStringLiteral("lblSec_%1").arg(i), QStringLiteral("SECTION %1").arg(i + 1),
                                 130, 26);
        SecBack[n] = new QPushButton(QStringLiteral("Set Back Color"), current);
        SecBack[n]->setObjectName(QStringLiteral("SecBack_%1").arg(i));
        SecText[n] = new QPushButton(QStringLiteral("Set text Color"), current);
        SecText[n]->setObjectName(QStringLiteral("SecText_%1").arg(i));
        grid->addWidget(lblSec[n], i, 0);
        grid->addWidget(SecBack[n], i, 1);
        grid->addWidget(SecText[n], i, 2);
        connect(SecBack[n], &QPushButton::clicked, this, [this, i] { SetBackColour(i); });
        connect(SecText[n], &QPushButton::clicked, this, [this, i] { SetTextColour(i); });
    }
    root->addWidget(current);

    // The six presets, each with sample labels in its colours.
    auto* presets = new QGroupBox(this);
    presets->setObjectName(QStringLiteral("fraPresets"));
    auto* pgrid = new QGridLayout(presets);
    pgrid->setHorizontalSpacing(6);
    std::array<std::array<QLabel*, PresetCount>*, Sections> samples = {&lblSectionColour1, &lblSectionColour2,
                                                                        &lblSectionColour3, &lblSectionColour4};
    for (int k = 0; k < PresetCount; ++k) {
        const auto kn = static_cast<size_t>(k);
        auto* opt = new QRadioButton(QStringLiteral("Option1"), presets);
        opt->setObjectName(QStringLiteral("optSectionColour_%1").arg(k));
        // Only the button shows: its design caption lies outside its width.
        opt->setFixedWidth(20);
        opt->setToolTip(QStringLiteral("Preset palette %1").arg(k + 1));
        optSectionColour[kn] = opt;
        pgrid->addWidget(opt, k, 0);
        for (int s = 0; s < Sections; ++s) {
            QLabel* l = SectionLabel(presets, QStringLiteral("lblSectionColour%1_%2").arg(s + 1).arg(k),
                                     QStringLiteral("section %1").arg(s + 1), 82, 20);
            (*samples[static_cast<size_t>(s)])[kn] = l;
            PaintSectionLabel(*l, Presets[kn].Back[static_cast<size_t>(s)], Presets[kn].Text[static_cast<size_t>(s)]);
            pgrid->addWidget(l, k, s + 1);
        }
        connect(opt, &QRadioButton::toggled, this, [this, k](bool on) {
            if (on)
                ApplyPreset(k);
        });
    }
    root->addWidget(presets);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    root->addLayout(buttons);
    connect(CmdOk, &QPushButton::clicked, this, &frmSectionColour::Ok);
    connect(CmdCancel, &QPushButton::clicked, this, &frmSectionColour::Cancel);

    setFixedSize(sizeHint());

    // Dialog load: the palette from the file, shown in the section labels.
    frmSectionColourInit(m_shell);
    ShowPaletteLabels();
}

std::array<QLabel*, frmSectionColour::Sections> frmSectionColour::SampleLabels(int k) const
{
    const auto n = static_cast<size_t>(k);
    return {lblSectionColour1[n], lblSectionColour2[n], lblSectionColour3[n], lblSectionColour4[n]};
}

void frmSectionColour::ShowPaletteLabels()
{
    const PaletteColours& p = m_shell.Context().Palette;
    for (size_t i = 0; i < Sections; ++i)
        PaintSectionLabel(*lblSec[i], p.Back[i], p.Text[i]);
}

void frmSectionColour::ClearPresetSelection()
{
    for (QRadioButton* opt : optSectionColour) {
        const QSignalBlocker block(opt);
        opt->setAutoExclusive(false);
        opt->setChecked(false);
        opt->setAutoExclusive(true);
    }
}

void frmSectionColour::ShowPalette()
{
    show();
    raise();
    activateWindow();
    ClearPresetSelection();
}

void frmSectionColour::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return; // the window system showing it again (restore), not an opening
    // Each opening takes the undo copy, so Cancel returns to the colours the
    // dialog was opened with.
    m_undo = m_shell.Context().Palette;
    setWindowTitle(QString::fromLatin1(Dialogs::ApplicationTitle) + QLatin1String(CaptionSuffix));
    ShowPaletteLabels();
}

void frmSectionColour::ApplyPreset(int k)
{
    if (k < 0 || k >= PresetCount)
        return;
    // The colours are those the preset's sample labels carry.
    PaletteColours& p = m_shell.Context().Palette;
    const Preset& preset = Presets[static_cast<size_t>(k)];
    for (size_t i = 0; i < Sections; ++i) {
        p.Back[i] = preset.Back[i];
        p.Text[i] = preset.Text[i];
    }
    ShowPaletteLabels();
    RefreshPages(m_shell);
}

void frmSectionColour::SetBackColour(int i) { ChooseColour(i, true); }
void frmSectionColour::SetTextColour(int i) { ChooseColour(i, false); }

void frmSectionColour::ChooseColour(int i, bool background)
{
    if (i < 0 || i >= Sections)
        return;
    const auto n = static_cast<size_t>(i);
    PaletteColours& p = m_shell.Context().Palette;
    int32_t& entry = background ? p.Back[n] : p.Text[n];
    const QColor initial = lblSec[n]->palette().color(background ? QPalette::Window : QPalette::WindowText);
    // Cancel in the chooser leaves the colour as it was (a system colour
    // stays a system colour).
    if (const std::optional<QColor> chosen = m_shell.Dialog().ChooseColour(this, initial))
        entry = RsvOleFromColor(*chosen);
    PaintSectionLabel(*lblSec[n], p.Back[n], p.Text[n]);
    RefreshPages(m_shell);
}

void frmSectionColour::Ok()
{
    PaletteStore& store = PaletteStore::Of(m_shell);
    const QString problem = store.Save(m_shell.Context().Palette);
    if (!problem.isEmpty())
        m_shell.Dialog().Message(this,
                                 QStringLiteral("The palette cannot be saved: ") + problem +
                                     QStringLiteral("\rThe colours stay as chosen until the program ends."),
                                 MessageIcon::Warning);
    hide();
}

void frmSectionColour::Cancel()
{
    m_shell.Context().Palette = m_undo;
    ShowPaletteLabels();
    RefreshPages(m_shell);
    hide();
}

void frmSectionColour::reject() { Cancel(); }

void frmSectionColour::closeEvent(QCloseEvent* event)
{
    // Closing the window is Cancel: nothing chosen since the opening is kept.
    event->ignore();
    Cancel();
}
