// The report's answers while it builds: values of names, the report
// functions, one bracketed expression with its display format, and the
// formatting of values.
#include "reports/build/BandRuntime.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportViews.h"
#include "reports/language/ResourceTexts.h"

#include "platform/DateTimeFormat.h"
#include "platform/Environment.h"
#include "platform/FormatSettings.h"
#include "platform/NumberFormat.h"
#include "platform/db/DataSet.h"

namespace reports {

namespace {

// The parts of a format word.
int category(int format) { return (format >> 24) & 0x0F; }
int kindOf(int format) { return (format >> 16) & 0xFF; }
int decimalsOf(int format) { return (format >> 8) & 0xFF; }
QChar separatorOf(int format) { return QChar(format & 0xFF); }
int formatWord(int cat, int kind, int decimals, int separator)
{
    return (cat << 24) | (kind << 16) | ((decimals & 0xFF) << 8) | (separator & 0xFF);
}

QString unquoted(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() >= 2 && ((t.startsWith(u'\'') && t.endsWith(u'\'')) || (t.startsWith(u'"') && t.endsWith(u'"'))))
        return t.mid(1, t.size() - 2);
    return t;
}

TfrBand *currentBand()
{
    return static_cast<TfrBand *>(library().State.CurrentBand);
}

} // namespace

// ---------------------------------------------------------------------------
// Data field references

const platform::db::Field *ReportDictionary::findField(const QString &name) const
{
    if (!Report)
        return nullptr;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return nullptr;
    const QString setName = name.left(dot).section(u'.', -1);
    QString field = name.mid(dot + 1);
    if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
        field = field.mid(1, field.size() - 2);
    for (Dataset *d : Report->Components) {
        auto *db = dynamic_cast<DBDataSet *>(d);
        if (!db || db->Name.compare(setName, Qt::CaseInsensitive) != 0)
            continue;
        platform::db::DataSet *data = db->DataSource() || db->DataSet() ? &db->GetDataSet() : nullptr;
        return data ? data->findField(field) : nullptr;
    }
    return nullptr;
}

bool ReportDictionary::IsVariable(const QString &name)
{
    return findField(name) != nullptr;
}

Variant ReportDictionary::GetValue(const QString &name)
{
    const platform::db::Field *field = findField(name);
    if (!field)
        return Variant(0);
    return Variant::fromQVariant(field->value());
}

// ---------------------------------------------------------------------------
// Values of names

void TfrReport::GetVariableValue(const QString &name, Variant &value)
{
    BuildState &state = library().State;
    value = Variant();
    if (OnGetValue) {
        OnGetValue(name, value);
        if (!value.isEmpty())
            return;
    }
    value = Variant(0);
    if (Dictionary->IsVariable(name)) {
        value = Dictionary->GetValue(name);
        return;
    }
    if (name == u"VALUE") {
        value = state.CurrentValue;
        return;
    }
    Page *page = state.CurrentPage;
    TfrBand *band = currentBand();
    if (name == u"PAGE#") {
        value = Variant(state.PageNo + 1);
        return;
    }
    if (name == u"DATE") {
        value = Variant::date(std::floor(platform::dateTimeToDays(RunDateTime)));
        return;
    }
    if (name == u"TIME") {
        const double days = platform::dateTimeToDays(RunDateTime);
        value = Variant::date(days - std::floor(days));
        return;
    }
    if (name == u"LINE#" || name == u"LINETHROUGH#") {
        TfrBand *b = band;
        // A band without a source counts with the band its chain starts from.
        while (b && !b->DataSet && b->Prev)
            b = b->Prev;
        if (b)
            value = Variant(name == u"LINE#" ? b->LinePos : b->LineThrough);
        return;
    }
    if (name == u"COLUMN#") {
        value = Variant(page ? page->ColPos : 0);
        return;
    }
    if (name == u"CURRENT#") {
        value = Variant(page ? page->CurPos : 0);
        return;
    }
    if (name == u"TOTALPAGES") {
        value = Variant(TotalPages);
        return;
    }
    const struct {
        const char16_t *name;
        const QString *text;
    } infos[] = {{u"REPORTCOMMENT", &ReportComment},    {u"REPORTNAME", &ReportName},
                 {u"REPORTAUTOR", &ReportAutor},        {u"VMAJOR", &ReportVersionMajor},
                 {u"VMINOR", &ReportVersionMinor},      {u"VRELEASE", &ReportVersionRelease},
                 {u"VBUILD", &ReportVersionBuild}};
    for (const auto &info : infos)
        if (name == info.name) {
            value = Variant(*info.text);
            return;
        }
    if (name == u"REPORTDATE" || name == u"REPORTLASTCHANGE") {
        value = Variant::date(name == u"REPORTDATE" ? ReportCreateDate : ReportLastChange);
        return;
    }
    if (name == u"CALCWIDTH") {
        View *view = state.CurrentView;
        if (auto *memo = dynamic_cast<MemoView *>(view))
            value = Variant(memo->CalcWidth(memo->OutputMemo.isEmpty() ? memo->Memo : memo->OutputMemo));
        else
            value = Variant(view ? view->Width : 0);
        return;
    }
    if (const Variant *v = library().ReportVariables.Find(name)) {
        value = *v;
        return;
    }
    if (GetSystemValue(name, value))
        return;
    if (name != state.ResolvingName) {
        const QString saved = state.ResolvingName;
        state.ResolvingName = name;
        try {
            value = library().ReportParser.Calc(name);
        } catch (...) {
            state.ResolvingName = saved;
            throw;
        }
        state.ResolvingName = saved;
        return;
    }
    if (!state.RegisteringAggregates)
        throw ParserError(GetResourceText(55439) + QStringLiteral(" \"") + name + u'"');
}

bool TfrReport::GetSystemValue(const QString &name, Variant &value)
{
    Page *page = library().State.CurrentPage;
    const QString n = name.toUpper();
    if (page) {
        if (n == u"CURY") {
            value = Variant(page->CurY);
            return true;
        }
        if (n == u"FREESPACE") {
            value = Variant(page->CurBottomY - page->CurY);
            return true;
        }
        if (n == u"PAGEHEIGHT") {
            value = Variant(page->CurBottomY);
            return true;
        }
        if (n == u"PAGEWIDTH") {
            value = Variant(page->RightMargin());
            return true;
        }
    }
    if (n == u"FINALPASS") {
        const auto *master = dynamic_cast<const TfrReport *>(library().State.MasterReport);
        value = Variant(master ? master->FinalPass : FinalPass);
        return true;
    }
    const PropertyTarget target = FindObjectForProperty(name);
    if (target.Object) {
        const Variant v = target.Object->GetProperty(target.Property);
        if (!v.isNull()) {
            value = v;
            return true;
        }
    }
    if (const Variant *c = library().ScriptConstants.Find(name)) {
        value = *c;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Functions

void TfrReport::DoFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                           Variant &value)
{
    value = Variant(QStringLiteral("0"));
    for (const auto &lib : FunctionLibraries())
        if (lib->OnFunction(name, p1, p2, p3, value))
            return;
    DoBuiltinFunction(name, p1, p2, p3, value);
    if (OnUserFunction)
        OnUserFunction(name, p1, p2, p3, value);
}

bool TfrReport::DoBuiltinFunction(const QString &name, const QString &p1, const QString &p2, const QString &p3,
                                  Variant &value)
{
    ReportLibrary &lib = library();
    BuildState &state = lib.State;
    const QString n = name.toUpper();
    if (n == u"STOPREPORT") {
        if (state.CurrentReport)
            state.CurrentReport->Terminated = true;
        return true;
    }
    if (n == u"NEWPAGE" || n == u"NEWCOLUMN") {
        if (TfrBand *band = currentBand())
            ++(n == u"NEWPAGE" ? band->NewPageRequests : band->NewColumnRequests);
        return true;
    }
    if (n == u"SHOWBAND") {
        if (state.CurrentPage)
            state.CurrentPage->ShowBandByName(unquoted(p1));
        return true;
    }
    if (n == u"INC" || n == u"DEC") {
        Variant v;
        GetVariableValue(p1, v);
        v = n == u"INC" ? v + Variant(1) : v - Variant(1);
        lib.ReportInterpreter.SetValue(p1, v);
        return true;
    }
    if (n == u"SETARRAY" || n == u"GETARRAY") {
        const bool set = n == u"SETARRAY";
        if (p1.contains(u'.')) {
            const PropertyTarget target = FindObjectForProperty(p1);
            if (target.Object) {
                const Variant index = lib.ReportParser.Calc(p2);
                if (set)
                    target.Object->CallMethod(QStringLiteral("SETINDEXPROPERTY"), Variant(target.Property.toUpper()),
                                              lib.ReportParser.Calc(p3), index);
                else
                    value = target.Object->CallMethod(QStringLiteral("GETINDEXPROPERTY"),
                                                      Variant(target.Property.toUpper()), index, Variant());
            }
            return true;
        }
        const Variant index = lib.ReportParser.Calc(p2);
        const QString indexText = index.isString() ? index.rawString() : QString::number(index.toInt64());
        const QString entry = QStringLiteral("Arr_") + p1 + u'_' + indexText;
        if (set) {
            lib.ReportVariables.SetVariable(entry, lib.ReportParser.Calc(p3));
        } else {
            const Variant *v = lib.ReportVariables.Find(entry);
            value = v ? *v : Variant::null();
        }
        return true;
    }
    const PropertyTarget target = FindObjectForProperty(name);
    if (target.Object) {
        value = target.Object->CallMethod(target.Property.toUpper(), Variant(p1), Variant(p2), Variant(p3));
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// One bracketed expression

QString TfrReport::ExpandVariable(const QString &text)
{
    BuildState &state = library().State;
    state.ResolvingName.clear();
    View *view = state.CurrentView;
    int format = view ? view->DisplayFormatCode : 0;
    QString formatText = view ? view->DisplayFormatText : QString();
    QString expression = text;
    if (const qsizetype at = text.indexOf(QStringLiteral(" #")); at >= 0) {
        QString f = text.mid(at + 2);
        expression = text.left(at);
        if (!f.isEmpty()) {
            QChar c = f.at(0);
            if (c.isDigit()) {
                f.prepend(u'N');
                c = u'N';
            }
            if (c == u'N' || c == u'n') {
                // The last ",", "-" or "." is the decimal separator.
                qsizetype sep = -1;
                for (qsizetype i = f.size() - 1; i >= 1; --i)
                    if (f.at(i) == u',' || f.at(i) == u'-' || f.at(i) == u'.') {
                        sep = i;
                        break;
                    }
                const int sepCode = sep > 0 ? f.at(sep).unicode() & 0xFF : 0;
                if (f.size() > 1 && f.at(1).isDigit()) {
                    const int decimals = sep > 0 ? f.mid(sep + 1).toInt() : 0;
                    format = formatWord(1, 1, decimals, sepCode);
                } else {
                    QString pattern = f.mid(1);
                    if (sep > 0)
                        pattern[sep - 1] = u'.';
                    format = formatWord(1, 4, 0, sepCode);
                    formatText = pattern;
                }
            } else if (c == u'B' || c == u'b') {
                format = formatWord(4, 4, 0, 0);
                formatText = f.mid(1);
            } else if (c == u'D' || c == u'd') {
                format = formatWord(2, 4, 0, 0);
                formatText = f.mid(1);
            } else if (c == u'T' || c == u't') {
                format = formatWord(3, 4, 0, 0);
                formatText = f.mid(1);
            }
        }
    }
    state.CurrentValue = Variant(0);
    Variant value;
    GetVariableValue(expression, value);
    state.CurrentValue = value;
    if (view && view->ObjectType == 0 && (view->Flags & flHideZeros) && !value.isString() && !value.isNull()
        && !value.isEmpty()) {
        bool zero = false;
        try {
            zero = value.toDouble() == 0;
        } catch (...) {
        }
        if (zero)
            return QString();
    }
    if (state.RegisteringAggregates)
        return QString();
    return FormatValue(state.CurrentValue, format, formatText);
}

QString TfrReport::ValueText(const QString &expression, View &)
{
    return ExpandVariable(expression);
}

QString TfrReport::FormatValue(const Variant &value, int format, const QString &formatText)
{
    if (value.isEmpty() || value.isNull())
        return QString();
    if (value.isString() && value.rawString().trimmed().isEmpty())
        return QString();
    const int kind = kindOf(format);
    try {
        switch (category(format)) {
        case 1: {
            const QChar sep = separatorOf(format);
            std::optional<platform::ScopedService<platform::DecimalSeparator>> pin;
            if (sep != QChar(0))
                pin.emplace(platform::DecimalSeparator(sep));
            const double v = value.toDouble();
            const int decimals = decimalsOf(format);
            switch (kind) {
            case 0:
                return platform::formatNumber(QStringLiteral("##0.") + QString(decimals, u'#'), v);
            case 1:
                return platform::floatToStrF(v, platform::FloatForm::Fixed, 15, decimals);
            case 2:
                return platform::formatNumber(QStringLiteral("#,##0.") + QString(decimals, u'#'), v);
            case 3:
                return platform::floatToStrF(v, platform::FloatForm::Number, 15, decimals);
            default:
                return platform::formatNumber(formatText, v);
            }
        }
        case 2: {
            const double v = value.toDouble();
            if (kind == 3)
                return platform::formatDateTime(platform::Service<platform::FormatSettings>::get().longDateFormat, v);
            const QStringList &patterns = library().DateFormats;
            return platform::formatDateTime(kind == 4 || kind >= patterns.size() ? formatText : patterns.at(kind), v);
        }
        case 3: {
            const double v = value.toDouble();
            const QStringList &patterns = library().TimeFormats;
            return platform::formatDateTime(kind == 4 || kind >= patterns.size() ? formatText : patterns.at(kind), v);
        }
        case 4: {
            const QStringList &patterns = library().BooleanFormats;
            const QString pattern = kind == 4 || kind >= patterns.size() ? formatText : patterns.at(kind);
            const bool truth = value.toBool();
            return truth ? pattern.section(u';', 1, 1) : pattern.section(u';', 0, 0);
        }
        default:
            return valueText(value);
        }
    } catch (...) {
        return valueText(value);
    }
}

// ---------------------------------------------------------------------------
// Services for objects

void TfrReport::BeforePrint(QStringList &memo, View &view)
{
    Report::BeforePrint(memo, view);
    if (OnBeforePrint)
        OnBeforePrint(memo, &view);
}

void TfrReport::BeginColumn(Band *band)
{
    if (OnBeginColumn)
        OnBeginColumn(band);
}

void TfrReport::PrintColumn(int colNo, int &width)
{
    if (OnPrintColumn)
        OnPrintColumn(colNo, width);
}

} // namespace reports
