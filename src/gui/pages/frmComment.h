#pragma once
// The Info page: the information block of the configuration file (author,
// date, revision, company, comments) and the name of the file last loaded or
// saved. Its fields edit CoreContext::Info; every edit sets InfoChanged.
// Tab "A5", page masks 10000 / 10001.
#include "gui/pages/Page.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

class frmComment : public Page {
    Q_OBJECT
public:
    static constexpr int16_t PageReadKey = 10000;
    static constexpr int16_t PageWriteKey = 10001;

    explicit frmComment(Shell& shell, QWidget* parent = nullptr);

    int ManualPage() const override { return 34; }
    // Shows the information block and the file name of the context.
    void RefreshObject() override;
    void Activated() override { RefreshObject(); }

    // The comments as the information block holds them (CR LF line breaks)
    // and as the text box shows them (LF).
    static QString ToBoxText(const QString& comments);
    static QString FromBoxText(const QString& boxText);

    QLineEdit* txtAutor = nullptr;
    QLineEdit* txtDate = nullptr;
    QLineEdit* TxtRevision = nullptr;
    QLineEdit* TxtCompany = nullptr;
    QPlainTextEdit* TxtInfo = nullptr;
    QLabel* lblName = nullptr;

protected:
    const DrawBarProfile& Profile() const override;

private:
    void Edited();
    bool m_filling = false;
};
