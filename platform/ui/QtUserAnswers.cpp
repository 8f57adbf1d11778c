#include "platform/ui/QtUserAnswers.h"

#include "platform/Paths.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

QColor fromRgb(int rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }
int toRgb(const QColor &c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

} // namespace

QString toQtFilter(const QString &platformFilter)
{
    const QStringList parts = platformFilter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << (parts[i].contains(u'(') ? parts[i] + u' ' + u'(' + patterns + u')'
                                       : parts[i] + QStringLiteral(" (") + patterns + u')');
    }
    return out.join(QStringLiteral(";;"));
}

QString toQtSuffix(const QString &defaultExt)
{
    QString suffix = defaultExt.section(u';', 0, 0).trimmed();
    if (suffix.startsWith(u'*'))
        suffix.remove(0, 1);
    if (suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    // "*.*" names no extension to add.
    return suffix.contains(u'*') || suffix.contains(u'?') ? QString() : suffix;
}

int QtUserAnswers::messageDlg(const QString &text, MsgType type, unsigned buttons, const QString &caption)
{
    static const struct {
        unsigned ours;
        QMessageBox::StandardButton qt;
        int result;
    } table[] = {
        {mbYes, QMessageBox::Yes, mrYes},          {mbNo, QMessageBox::No, mrNo},
        {mbOK, QMessageBox::Ok, mrOk},             {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbAbort, QMessageBox::Abort, mrAbort},    {mbRetry, QMessageBox::Retry, mrRetry},
        {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::YesToAll, mrAll},
        {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
        {mbHelp, QMessageBox::Help, mrNone},
    };
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title = caption;
    switch (type) {
    case MsgType::Warning: icon = QMessageBox::Warning; if (title.isEmpty()) title = QStringLiteral("Предупреждение"); break;
    case MsgType::Error: icon = QMessageBox::Critical; if (title.isEmpty()) title = QStringLiteral("Ошибка"); break;
    case MsgType::Information: icon = QMessageBox::Information; if (title.isEmpty()) title = QStringLiteral("Информация"); break;
    case MsgType::Confirmation: icon = QMessageBox::Question; if (title.isEmpty()) title = QStringLiteral("Подтверждение"); break;
    case MsgType::Custom: if (title.isEmpty()) title = QApplication::applicationName(); break;
    }
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    for (const auto &row : table)
        if (buttons & row.ours)
            box.addButton(row.qt);
    if (buttons == 0)
        box.addButton(QMessageBox::Ok);
    const int pressed = box.exec();
    for (const auto &row : table)
        if (pressed == row.qt)
            return row.result;
    return mrCancel;
}

FileDialogAnswer QtUserAnswers::fileDialog(const FileDialogRequest &r)
{
    // A folder named with "\" (a stored setting) is found as the folder it
    // names; Qt would take the whole text for a file name.
    const QString start = r.initialDir.isEmpty() ? QString() : resolvePath(r.initialDir);
    QFileDialog dlg(QApplication::activeWindow(), r.title, start, toQtFilter(r.filter));
    dlg.setAcceptMode(r.kind == FileDialogRequest::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.kind == FileDialogRequest::OpenMultiple ? QFileDialog::ExistingFiles
                    : r.kind == FileDialogRequest::Open       ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    if (const QString suffix = toQtSuffix(r.defaultExt); !suffix.isEmpty())
        dlg.setDefaultSuffix(suffix);
    const QStringList filters = dlg.nameFilters();
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
        dlg.selectNameFilter(filters[r.filterIndex - 1]);
    if (!r.fileName.isEmpty())
        dlg.selectFile(r.fileName);
    FileDialogAnswer a;
    a.accepted = dlg.exec() == QDialog::Accepted;
    if (a.accepted) {
        a.files = dlg.selectedFiles();
        a.filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    }
    return a;
}

QString QtUserAnswers::selectDirectory(const QString &caption, const QString &start)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, start);
}

bool QtUserAnswers::chooseColor(int &color)
{
    const QColor c = QColorDialog::getColor(fromRgb(color), QApplication::activeWindow());
    if (!c.isValid())
        return false;
    color = toRgb(c);
    return true;
}

bool QtUserAnswers::chooseFont(FontChoice &font)
{
    QFont initial(font.name, font.size);
    initial.setBold(font.style & 1);
    initial.setItalic(font.style & 2);
    initial.setUnderline(font.style & 4);
    initial.setStrikeOut(font.style & 8);
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
    if (!ok)
        return false;
    font.name = f.family();
    font.size = f.pointSize();
    font.style = (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
    return true;
}

bool QtUserAnswers::choosePrinter(PrinterChoice &printer)
{
    QPrinter p;
    if (!printer.printerName.isEmpty())
        p.setPrinterName(printer.printerName);
    p.setCopyCount(printer.copies);
    QPrintDialog dlg(&p, QApplication::activeWindow());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    printer.printerName = p.printerName();
    printer.copies = p.copyCount();
    printer.fromPage = p.fromPage();
    printer.toPage = p.toPage();
    return true;
}

int QtUserAnswers::runModal(QDialog &dialog) { return dialog.exec(); }

} // namespace platform
