// The label dialogs and the style pickers as the dialog seams show them.

#include "dialogs/DialogSeams.h"
#include "dialogs/LabelDialogs.h"
#include "dialogs/StylePickers.h"

#include <QPlainTextEdit>

namespace dialogs {

bool DialogSeams::AskNewLabel(NewLabelAnswer &answer)
{
    return NewLabel()->Execute(answer);
}

bool DialogSeams::ShowLabelEntry(int layer, int entry, const QString &mode)
{
    return ProLabel()->Execute(layer, entry, mode);
}

int DialogSeams::SelectPointStyle()
{
    return SelectPoints()->Execute();
}

int DialogSeams::SelectLineStyle()
{
    return SelectLines()->Execute();
}

int DialogSeams::SelectFillStyle()
{
    return SelectSymbols()->Execute();
}

bool DialogSeams::SelectSymbol(QString &fontName, QChar &symbol)
{
    TSelectStyles *picker = SelectStyles();
    picker->MemoFont->setPlainText(fontName);
    if (!picker->Execute())
        return false;
    fontName = picker->FFontName;
    symbol = picker->FSymbol;
    return true;
}

} // namespace dialogs
