#include "gui/shell/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString TitleOr(const QString& title) { return title.isEmpty() ? QString::fromLatin1(Dialogs::ApplicationTitle) : title; }

} // namespace

QString WidgetDialogs::DisplayText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString WidgetDialogs::QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        out << parts.last();
    return out.join(QStringLiteral(";;"));
}

void WidgetDialogs::Message(QWidget* parent, const QString& text, MessageIcon icon, const QString& title)
{
    QMessageBox box(BoxIcon(icon), TitleOr(title), DisplayText(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool WidgetDialogs::Ask(QWidget* parent, const QString& text, MessageIcon icon, const QString& title)
{
    QMessageBox box(BoxIcon(icon), TitleOr(title), DisplayText(text), QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetDialogs::OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                               const QString& folder)
{
    QFileDialog dlg(parent, title, folder, QtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}

std::optional<QString> WidgetDialogs::SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                               const QString& folder, const QString& proposedName)
{
    QFileDialog dlg(parent, title, folder, QtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // The command asks its own overwrite question.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    // A name typed without an extension gets the filter's one, so the file
    // shows up under the load dialog's usual pattern.
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() >= 2 && parts[1].startsWith(QLatin1String("*.")) && parts[1] != QLatin1String("*.*"))
        dlg.setDefaultSuffix(parts[1].mid(2));
    dlg.selectFile(proposedName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}

std::optional<QColor> WidgetDialogs::ChooseColour(QWidget* parent, const QColor& initial)
{
    QColorDialog dlg(initial, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.selectedColor();
}
