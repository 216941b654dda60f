#include "gui/pages/config/FrmMagSel.h"

#include "core/config/ConfigModel.h"
#include "core/state/CoreContext.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/pages/config/NumericField.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>

FrmMagSel::FrmMagSel(Shell& shell, std::function<void()> drawDither, const QPixmap& solenoid, QWidget* parent)
    : QDialog(parent), m_shell(shell), m_drawDither(std::move(drawDither))
{
    setObjectName(QStringLiteral("FrmMagSel"));
    setWindowTitle(QStringLiteral("Dither Settings"));
    setProperty("ManualPage", ManualPageNumber);
    setModal(false);
    setFixedSize(430, 230);

    auto label = [this](const char* name, const QString& text, QRect g) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(g);
        return l;
    };
    auto textBox = [this](const char* name, QRect g) {
        auto* t = new QLineEdit(QStringLiteral("0"), this);
        t->setObjectName(QLatin1String(name));
        t->setGeometry(g);
        t->setAlignment(Qt::AlignRight);
        return t;
    };
    auto scroll = [this](const char* name, QRect g) {
        auto* s = new QScrollBar(Qt::Horizontal, this);
        s->setObjectName(QLatin1String(name));
        s->setGeometry(g);
        s->setSingleStep(1);
        s->setPageStep(1);
        return s;
    };

    // Solenoid picture area.
    auto* pic = new QFrame(this);
    pic->setObjectName(QStringLiteral("PicMag_0"));
    pic->setFrameShape(QFrame::StyledPanel);
    pic->setGeometry(12, 12, 110, 150);
    PicMag[0] = pic;
    ImgMag[0] = new configui::PictureBox(pic);
    ImgMag[0]->setObjectName(QStringLiteral("ImgMag_0"));
    ImgMag[0]->setGeometry(15, 10, 80, 80);
    ImgMag[0]->SetPicture(solenoid);
    LblMag[0] = new QLabel(pic);
    LblMag[0]->setObjectName(QStringLiteral("LblMag_0"));
    LblMag[0]->setGeometry(5, 95, 100, 18);
    LblMag[0]->setAlignment(Qt::AlignCenter);
    FocusMag[0] = new configui::FocusFrame(pic);
    FocusMag[0]->setObjectName(QStringLiteral("FocusMag_0"));
    FocusMag[0]->setGeometry(12, 7, 86, 86);
    lblMagDesc[0] = new QLabel(pic);
    lblMagDesc[0]->setObjectName(QStringLiteral("lblMagDesc_0"));
    lblMagDesc[0]->setGeometry(5, 115, 100, 30);
    lblMagDesc[0]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblMagDesc[0]->setWordWrap(true);

    // Frequency: the list and the code.
    LblDitherFreq = label("LblDitherFreq", QStringLiteral("Dither Frequency [Hz]"), QRect(135, 14, 160, 20));
    cmbDither = new QComboBox(this);
    cmbDither->setObjectName(QStringLiteral("cmbDither"));
    cmbDither->setGeometry(300, 12, 115, 24);
    cmbDither->setPlaceholderText(QStringLiteral("(dither)"));
    for (const char* f : config::DitherFrequencies)
        cmbDither->addItem(QString::fromLatin1(f));
    cmbDither->setCurrentIndex(-1);
    hscDitherFreq = scroll("hscDitherFreq", QRect(300, 44, 50, 20));
    TxtDitherFreq = textBox("TxtDitherFreq", QRect(355, 42, 60, 24));

    // Amplitude fields: the controller has no amplitude setting to edit.
    Label1 = label("Label1", QStringLiteral("Dither Amplitude [mA]"), QRect(135, 84, 160, 20));
    hscDitherAmp = scroll("hscDitherAmp", QRect(300, 84, 50, 20));
    TxtDitherAmp = textBox("TxtDitherAmp", QRect(355, 82, 60, 24));
    Label2 = label("Label2", QStringLiteral("Dither Amplitude [%]"), QRect(135, 118, 160, 20));
    hscDitherAmpPerc = scroll("hscDitherAmpPerc", QRect(300, 118, 50, 20));
    TxtDitherAmpPerc = textBox("TxtDitherAmpPerc", QRect(355, 116, 60, 24));
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(hscDitherAmp),
                       static_cast<QWidget*>(TxtDitherAmp), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(hscDitherAmpPerc), static_cast<QWidget*>(TxtDitherAmpPerc)})
        w->setEnabled(false);

    CmdOk = new QPushButton(QStringLiteral("OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setGeometry(220, 185, 90, 28);
    CmdOk->setAutoDefault(false);
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setGeometry(325, 185, 90, 28);
    CmdCancel->setAutoDefault(false);
    // A click on Cancel does not take the focus, so leaving an unfinished
    // code for Cancel asks nothing.
    CmdCancel->setFocusPolicy(Qt::TabFocus);

    NumericField::Behaviour behaviour;
    behaviour.RestoreThroughFormula = false;
    behaviour.Accepted = [this](int32_t code) {
        if (CVarData* r = Record())
            r->DataS.QvsDownloadValueE2 = m_lastStored = code;
        // The list follows the code, so both always show what will be written.
        const bool outer = !m_syncing;
        m_syncing = true;
        cmbDither->setCurrentIndex(config::DitherIndexFromCode(code));
        m_syncing = !outer;
    };
    m_field = new NumericField(
        TxtDitherFreq, hscDitherFreq,
        [this](QWidget* parent, const QString& text) {
            return m_shell.Dialog().Ask(parent, text, MessageIcon::Information, QString());
        },
        behaviour, this);

    connect(cmbDither, &QComboBox::currentIndexChanged, this, [this](int index) {
        try {
            DitherSelected(index);
        } catch (...) {
        }
    });
    connect(CmdOk, &QPushButton::clicked, this, [this] { Ok(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { Cancel(); });
}

FrmMagSel::~FrmMagSel() { m_field->Detach(); }

CVarData* FrmMagSel::Record() const { return m_shell.Context().Table.Record(Key::QVS_DITHER_FREQ); }

void FrmMagSel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown from hidden: the parameter is read again and remembered. A
    // spontaneous show (the window coming back from minimised) keeps the edit.
    if (!event->spontaneous())
        Prepare();
}

void FrmMagSel::Prepare()
{
    CVarData* r = Record();
    const int32_t code = r ? r->DataS.QvsDownloadValueE2 : 0;
    m_remembered = m_lastStored = code;
    m_field->Load(r ? &r->DataS : nullptr, code);
    m_field->SetEnabled(r != nullptr);
    cmbDither->setEnabled(r != nullptr);
    // The list shows the code's frequency; opening the dialog stores nothing
    // (a code outside the table shows as 150 Hz, like the page's labels, and
    // stays until the user picks or types another).
    m_syncing = true;
    cmbDither->setCurrentIndex(config::DitherIndexFromCode(code));
    m_syncing = false;
}

void FrmMagSel::DitherSelected(int index)
{
    CVarData* r = Record();
    if (m_syncing || !r || index < 0 || index > 16)
        return; // the code box (or the showing) is driving the list
    const int32_t code = config::DitherCodeFromIndex(index);
    r->DataS.QvsDownloadValueE2 = m_lastStored = code;
    // The code box follows the list.
    m_syncing = true;
    TxtDitherFreq->setText(QString::number(code));
    m_syncing = false;
}

void FrmMagSel::Ok()
{
    m_shell.Context().Shell.SetParamsUnchanged(false);
    if (m_drawDither)
        m_drawDither();
    QDialog::accept();
}

void FrmMagSel::Cancel()
{
    if (CVarData* r = Record(); r && r->DataS.QvsDownloadValueE2 == m_lastStored)
        r->DataS.QvsDownloadValueE2 = m_remembered;
    if (m_drawDither)
        m_drawDither();
    QDialog::reject();
}

void FrmMagSel::reject() { Cancel(); }
