// The report component's file half: templates (".frf"), template files
// (".frt"), prepared reports (".frp"), the XML form (".fr3") and the form
// storage, with the pages section, page headers and report information of
// the template stream.

#include "reports/model/ReportComponent.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Bitmap.h"
#include "reports/model/DataDictionary.h"
#include "reports/model/Fr3Writer.h"
#include "reports/model/ReportDialogs.h"
#include "reports/model/ReportFiles.h"
#include "reports/model/ReportLibrary.h"
#include "reports/model/ReportStreams.h"
#include "reports/model/ReportViews.h"
#include "reports/language/ResourceTexts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace reports {

namespace {

PasswordPrompt &passwordPrompt()
{
    static PasswordPrompt prompt;
    return prompt;
}

// The report dialogs' password window, where no other prompt was installed.
std::optional<QString> askPassword()
{
    QString password;
    if (!reportDialogs().AskPassword(password))
        return std::nullopt;
    return password;
}

// A template stream that cannot be taken as a template.
class FormatError : public std::runtime_error {
public:
    FormatError() : std::runtime_error("template format") {}
};

void showError(const QString &text)
{
    platform::answers().messageDlg(text, platform::MsgType::Error, platform::mbOK, GetResourceText(55206));
}

QString virtualPrinterName()
{
    return GetResourceText(55007);
}

QString uniquePageName(const Report &report)
{
    for (int i = 1; i <= 10000; ++i) {
        const QString name = QStringLiteral("Page") + QString::number(i);
        bool used = false;
        for (const auto &page : report.Pages)
            used = used || platform::ansiSameText(page->Name, name);
        if (!used)
            return name;
    }
    return QString();
}

// An end position that lies behind the reading position or past the stream.
qint64 checkedEnd(QIODevice &stream, qint64 end)
{
    if (end < stream.pos() || end > stream.size())
        throw FormatError();
    return end;
}

} // namespace

void setPasswordPrompt(PasswordPrompt prompt)
{
    passwordPrompt() = std::move(prompt);
}

double NowAsDays()
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime local(now.date(), now.time());
    return epoch.msecsTo(local) / 86400000.0;
}

Page *AddTemplatePage(TfrReport &report)
{
    auto page = std::make_unique<Page>();
    const int paper = DefaultPaperSize();
    if (paper >= 0)
        page->ChangePaper(paper, 0, 0, -1, 0);
    page->Name = uniquePageName(report);
    report.Pages.push_back(std::move(page));
    return report.Pages.back().get();
}

DataDictionary *FileDictionary(const TfrReport &report)
{
    return dynamic_cast<DataDictionary *>(report.Dictionary.get());
}

namespace {

void toOneEmptyPage(TfrReport &report)
{
    library().State.CurrentPage = nullptr;
    report.Pages.clear();
    AddTemplatePage(report);
}

void readPageHeader(TfrReport &report, QIODevice &stream, Page &page);
void writePageHeader(QIODevice &stream, const Page &page);
void readReportInfo(TfrReport &report, QIODevice &stream);
void writeReportInfo(TfrReport &report, QIODevice &stream);

} // namespace

// ---------------------------------------------------------------------------
// Page header

namespace {

void readPageHeader(TfrReport &report, QIODevice &stream, Page &page)
{
    const int v = library().StreamVersion;
    qint32 size = ReadStreamInteger(stream);
    const bool marked = size == -1;
    if (marked)
        size = ReadStreamInteger(stream);
    const qint32 width = ReadStreamInteger(stream);
    const qint32 height = ReadStreamInteger(stream);
    page.MarginLeft = ReadReportUnits(stream);
    page.MarginTop = ReadReportUnits(stream);
    page.MarginRight = ReadReportUnits(stream);
    page.MarginBottom = ReadReportUnits(stream);
    const quint8 orientation = ReadStreamByte(stream);
    if (v < 23)
        SkipStreamBytes(stream, 6);
    const qint32 bin = v >= 24 ? ReadStreamInteger(stream) : -1;
    page.PrintToPrevPage = ReadStreamWord(stream) != 0;
    page.UseMargins = ReadStreamWord(stream) != 0;
    page.ColCount = ReadReportUnits(stream, kMaxReportSpacing);
    page.ColGap = ReadReportUnits(stream);
    if (v >= 24) {
        page.PageType = ReadStreamByte(stream);
        page.Name = ReadStreamString(stream);
        const quint8 border = ReadStreamByte(stream);
        page.BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
        page.Caption = ReadStreamString(stream);
        page.Color = static_cast<std::uint32_t>(ReadStreamInteger(stream));
        page.WindowLeft = ReadReportUnits(stream);
        page.WindowTop = ReadReportUnits(stream);
        page.WindowWidth = ReadReportUnits(stream);
        page.WindowHeight = ReadReportUnits(stream);
        page.Position = ReadStreamByte(stream) != 0 ? 4 : 0;
    } else {
        page.PageType = 0;
        page.Name = uniquePageName(report);
    }
    if (marked)
        page.Script = ReadMemo(stream);
    page.ChangePaper(size, width, height, bin, orientation);
}

void writePageHeader(QIODevice &stream, const Page &page)
{
    WriteStreamInteger(stream, -1);
    WriteStreamInteger(stream, page.pgSize);
    WriteStreamInteger(stream, page.pgWidth);
    WriteStreamInteger(stream, page.pgHeight);
    WriteStreamInteger(stream, page.MarginLeft);
    WriteStreamInteger(stream, page.MarginTop);
    WriteStreamInteger(stream, page.MarginRight);
    WriteStreamInteger(stream, page.MarginBottom);
    WriteStreamByte(stream, static_cast<quint8>(page.pgOr));
    WriteStreamInteger(stream, page.pgBin);
    WriteStreamWord(stream, page.PrintToPrevPage ? 1 : 0);
    WriteStreamWord(stream, page.UseMargins ? 1 : 0);
    WriteStreamInteger(stream, page.ColCount);
    WriteStreamInteger(stream, page.ColGap);
    WriteStreamByte(stream, static_cast<quint8>(page.PageType));
    WriteStreamString(stream, page.Name);
    WriteStreamByte(stream, static_cast<quint8>(page.BorderStyle));
    WriteStreamString(stream, page.Caption);
    WriteStreamInteger(stream, static_cast<qint32>(page.Color));
    WriteStreamInteger(stream, page.WindowLeft);
    WriteStreamInteger(stream, page.WindowTop);
    WriteStreamInteger(stream, page.WindowWidth);
    WriteStreamInteger(stream, page.WindowHeight);
    WriteStreamByte(stream, static_cast<quint8>(page.Position));
    WriteMemo(stream, page.Script);
}

} // namespace

// ---------------------------------------------------------------------------
// Pages section

void LoadTemplatePages(TfrReport &report, QIODevice &stream)
{
    BuildState &state = library().State;
    const int v = library().StreamVersion;
    report.Clear();
    report.PrintToDefault = ReadStreamWord(stream) != 0;
    report.DoublePass = ReadStreamWord(stream) != 0;
    QString printer = ReadStringOfVersion(stream);
    if (printer == QString(QChar(1)))
        printer = virtualPrinterName();
    report.SetPrinterTo(printer);

    while (!stream.atEnd()) {
        const qint64 objectStart = stream.pos();
        const quint8 marker = ReadStreamByte(stream);
        if (marker == 255) {
            auto page = std::make_unique<Page>();
            report.Pages.push_back(std::move(page));
            readPageHeader(report, stream, *report.Pages.back());
            continue;
        }
        if (marker == 254) {
            if (DataDictionary *dictionary = FileDictionary(report)) {
                dictionary->LoadFromStream(stream);
            } else {
                DataDictionary passedBy;
                passedBy.LoadFromStream(stream);
            }
            continue;
        }
        if (marker == 253) {
            // No add-in data hook is installed here: its section is passed by.
            ReadStreamByte(stream);
            break;
        }
        if (marker == 252)
            break;
        if (marker > 10)
            throw FormatError();

        int kind = marker;
        QString className;
        bool framedMemo = false;
        if (kind == 10) {
            className = ReadStringOfVersion(stream);
            const QString upper = className.toUpper();
            if (upper == QLatin1String("TFRBDELOOKUPCONTROL") || upper == QLatin1String("TFRIBXLOOKUPCONTROL")) {
                className = QStringLiteral("TfrDBLookupControl");
            } else if (upper == QLatin1String("TFRFRAMEDMEMOVIEW")) {
                kind = 0;
                framedMemo = true;
            }
        }
        const quint8 pageIndex = ReadStreamByte(stream);
        if (pageIndex >= report.Pages.size())
            throw FormatError();
        Page &page = *report.Pages[pageIndex];
        state.CurrentPage = &page;
        bool haveEnd = false;
        qint64 end = 0;
        // An end position must lie past the object's start: one that points
        // back would read the same bytes again without end.
        auto goToEnd = [&]() {
            if (end <= objectStart || end > stream.size())
                throw FormatError();
            stream.seek(end);
        };
        try {
            std::unique_ptr<View> view = CreateViewOfType(kind, className);
            if (v >= 24) {
                end = ReadStreamInteger(stream);
                haveEnd = true;
            }
            if (!view)
                throw FormatError();
            view->LoadFromStream(stream);
            view->SetProperty(QStringLiteral("Name"), Variant(view->Name));
            if (framedMemo)
                SkipStreamBytes(stream, 8);
            page.Add(std::move(view));
        } catch (const std::exception &) {
            if (v < 24)
                continue;
            if (!haveEnd)
                end = ReadStreamInteger(stream);
            haveEnd = true;
        }
        if (haveEnd)
            goToEnd();
    }
    if (state.ClassErrorFlag)
        return;
    for (const auto &page : report.Pages)
        for (const auto &view : page->Objects)
            view->AfterLoad();
}

void SaveTemplatePages(TfrReport &report, QIODevice &stream)
{
    const auto &pages = report.Pages;
    WriteStreamWord(stream, report.PrintToDefault ? 1 : 0);
    WriteStreamWord(stream, report.DoublePass ? 1 : 0);
    WriteStreamString(stream, report.PrnName == virtualPrinterName() ? QString(QChar(1)) : report.PrnName);
    for (const auto &page : pages) {
        WriteStreamByte(stream, 255);
        writePageHeader(stream, *page);
    }
    for (size_t p = 0; p < pages.size(); ++p) {
        for (const auto &view : pages[p]->Objects) {
            WriteStreamByte(stream, view->ObjectType);
            if (view->ObjectType == 10)
                WriteStreamString(stream, view->ClassName());
            WriteStreamByte(stream, static_cast<quint8>(p));
            const qint64 at = WriteEndPlaceholder(stream);
            view->PreparedMode = false;
            view->SaveToStream(stream);
            PatchEndPosition(stream, at);
        }
    }
    WriteStreamByte(stream, 254);
    if (const DataDictionary *dictionary = FileDictionary(report))
        dictionary->SaveToStream(stream);
    else
        DataDictionary().SaveToStream(stream);
}

// ---------------------------------------------------------------------------
// Report information

namespace {

void readReportInfo(TfrReport &r, QIODevice &stream)
{
    r.ReportComment = ReadInfoString(stream);
    r.ReportName = ReadInfoString(stream);
    r.ReportAutor = ReadInfoString(stream);
    r.ReportVersionMajor = ReadInfoString(stream);
    r.ReportVersionMinor = ReadInfoString(stream);
    r.ReportVersionRelease = ReadInfoString(stream);
    r.ReportVersionBuild = ReadInfoString(stream);
    r.ReportPassword = HexToStr(ReadInfoString(stream));
    r.ReportGeneratorVersion = ReadStreamByte(stream);
    r.ReportPasswordFlag = ReadStreamByte(stream);
    r.ReportCreateDate = ReadStreamReal(stream);
    r.ReportLastChange = ReadStreamReal(stream);
}

void writeReportInfo(TfrReport &r, QIODevice &stream)
{
    WriteInfoString(stream, r.ReportComment);
    WriteInfoString(stream, r.ReportName);
    WriteInfoString(stream, r.ReportAutor);
    WriteInfoString(stream, r.ReportVersionMajor);
    WriteInfoString(stream, r.ReportVersionMinor);
    WriteInfoString(stream, r.ReportVersionRelease);
    WriteInfoString(stream, r.ReportVersionBuild);
    WriteInfoString(stream, StrToHex(r.ReportPassword));
    WriteStreamByte(stream, r.ReportGeneratorVersion);
    WriteStreamByte(stream, r.ReportPasswordFlag);
    WriteStreamReal(stream, r.ReportCreateDate);
    WriteStreamReal(stream, r.ReportLastChange);
}

} // namespace

// ---------------------------------------------------------------------------
// Template stream

void TfrReport::LoadFromStream(QIODevice &stream)
{
    BuildState &state = library().State;
    ReportPrinter();
    state.DocumentMode = 0;
    state.CurrentReport = this;
    Dictionary->Clear();
    if (stream.atEnd())
        return;
    StreamVersionScope keep;
    const qint64 start = stream.pos();
    int version = 0;
    try {
        version = ReadStreamByte(stream);
    } catch (const StreamReadError &) {
        return;
    }
    if (version <= 20) {
        version = 21;
        stream.seek(start);
    }
    library().StreamVersion = version;
    state.ClassErrorFlag = false;
    state.ClassErrorText.clear();
    if (version > 25) {
        showError(GetResourceText(55345));
        return;
    }
    try {
        LoadTemplatePages(*this, stream);
        if (!stream.atEnd())
            readReportInfo(*this, stream);
        else
            ResetReportInfo();
    } catch (const std::exception &) {
        state.ClassErrorFlag = false;
        state.ClassErrorText.clear();
        showError(GetResourceText(55345));
        toOneEmptyPage(*this);
        return;
    }
    // The information after the pages is read also when add-in classes were
    // missing, so a save does not lose the report's name or its password.
    if (ReportPasswordFlag && !dynamic_cast<QBuffer *>(&stream)) {
        const std::optional<QString> answer = passwordPrompt() ? passwordPrompt()() : askPassword();
        if (!answer || *answer != ReportPassword) {
            ResetReportInfo();
            FileName = GetResourceText(55209);
            toOneEmptyPage(*this);
        }
    }
    if (state.ClassErrorFlag) {
        showError(QStringLiteral("Report contains the following non-plugged components:\r") + state.ClassErrorText +
                  QStringLiteral("You must include these components into your project."));
    }
}

void TfrReport::SaveToStream(QIODevice &stream)
{
    library().State.CurrentReport = this;
    if (WritingFR3) {
        SaveToFR3Stream(*this, stream);
        return;
    }
    StreamVersionScope keep;
    library().StreamVersion = 25;
    WriteStreamByte(stream, 25);
    SaveTemplatePages(*this, stream);
    WriteStreamByte(stream, 252);
    ReportGeneratorVersion = 88;
    ReportLastChange = NowAsDays();
    writeReportInfo(*this, stream);
}

bool TfrReport::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    // Named first: a refused password names the report "Untitled" again.
    FileName = fileName;
    LoadFromStream(file);
    return true;
}

namespace {

bool saveThrough(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return platform::writeFileAtomically(fileName, bytes);
}

} // namespace

bool TfrReport::SaveToFile(const QString &fileName)
{
    return saveThrough(fileName, [this](QIODevice &s) { SaveToStream(s); });
}

// ---------------------------------------------------------------------------
// Template files

namespace {

// A template file's picture: the stream's picture kind, an end position and
// the picture's own file bytes, as a picture object stores it.
void writeTemplatePicture(QIODevice &stream, const ReportPicture &picture)
{
    const QByteArray bytes = picture.fileBytes();
    const quint8 kind = picture.kind == ReportPicture::Bitmap     ? 1
                        : picture.kind == ReportPicture::Metafile ? 2
                        : picture.kind == ReportPicture::Icon     ? 3
                        : picture.kind == ReportPicture::Jpeg     ? 4
                                                                  : 0;
    WriteStreamByte(stream, kind);
    const qint64 at = WriteEndPlaceholder(stream);
    stream.write(bytes);
    PatchEndPosition(stream, at);
}

void readTemplatePicture(QIODevice &stream, ReportPicture *picture)
{
    ReadStreamByte(stream);
    const qint64 end = checkedEnd(stream, ReadStreamInteger(stream));
    const QByteArray bytes = ReadStreamBytes(stream, end - stream.pos());
    if (picture)
        picture->loadFromBytes(bytes);
}

} // namespace

bool TfrReport::SaveTemplate(const QString &fileName, const QStringList &description, const ReportPicture *picture)
{
    return saveThrough(fileName, [&](QIODevice &s) {
        StreamVersionScope keep;
        library().StreamVersion = 25;
        library().State.CurrentReport = this;
        WriteMemo(s, description);
        const qint64 at = WriteEndPlaceholder(s);
        if (picture && !picture->isEmpty()) {
            WriteStreamByte(s, 1);
            writeTemplatePicture(s, *picture);
        } else {
            WriteStreamByte(s, 0);
        }
        PatchEndPosition(s, at);
        SaveTemplatePages(*this, s);
    });
}

bool TfrReport::LoadTemplate(const QString &fileName, QStringList *description, ReportPicture *picture,
                             bool withPages)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    StreamVersionScope keep;
    library().StreamVersion = 25;
    BuildState &state = library().State;
    state.CurrentReport = this;
    try {
        const QStringList lines = ReadMemo(file);
        const qint64 pagesAt = ReadStreamInteger(file);
        if (!withPages) {
            if (description)
                *description = lines;
            if (picture)
                picture->clear();
            if (ReadStreamByte(file) == 1)
                readTemplatePicture(file, picture);
            return true;
        }
        if (pagesAt < file.pos() || pagesAt > file.size())
            throw FormatError();
        file.seek(pagesAt);
        state.ClassErrorFlag = false;
        state.ClassErrorText.clear();
        Dictionary->Clear();
        LoadTemplatePages(*this, file);
    } catch (const std::exception &) {
        state.ClassErrorFlag = false;
        state.ClassErrorText.clear();
        showError(GetResourceText(55345));
        if (withPages)
            toOneEmptyPage(*this);
        return false;
    }
    if (state.ClassErrorFlag)
        showError(QStringLiteral("Report contains the following non-plugged components:\r") + state.ClassErrorText +
                  QStringLiteral("You must include these components into your project."));
    return true;
}

// ---------------------------------------------------------------------------
// Prepared reports and the XML form

bool TfrReport::LoadPreparedReport(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    ResetReportInfo();
    bool ok = true;
    try {
        EMFPages->LoadFromStream(file);
    } catch (const std::exception &) {
        showError(GetResourceText(55345));
        ok = false;
    }
    CanRebuild = false;
    return ok;
}

bool TfrReport::SavePreparedReport(const QString &fileName)
{
    return saveThrough(fileName, [this](QIODevice &s) { EMFPages->SaveToStream(s); });
}

bool TfrReport::SaveToFR3File(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString name = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".fr3");
    WritingFR3 = true;
    bool ok = false;
    try {
        ok = saveThrough(name, [this](QIODevice &s) { SaveToStream(s); });
    } catch (...) {
        WritingFR3 = false;
        throw;
    }
    WritingFR3 = false;
    return ok;
}

void ApplyBandAligns(TfrReport &report)
{
    BuildState &state = library().State;
    for (const auto &page : report.Pages) {
        for (const auto &view : page->Objects) {
            if (view->BandAlign == baNone)
                continue;
            state.CurrentPage = page.get();
            view->Draw(library().MeasureBitmap->canvas());
        }
    }
}

} // namespace reports

namespace reports {

// This system keeps no templates in form files: the form storage is written
// as the bare version, and a stored template is read if one is there.
void TfrReport::WriteReportForm(QIODevice &stream)
{
    WriteStreamInteger(stream, 25);
    if (StoreInDFM) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        SaveToStream(buffer);
        WriteStreamInteger(stream, static_cast<qint32>(bytes.size()));
        stream.write(bytes);
    }
}

void TfrReport::ReadReportForm(QIODevice &stream)
{
    ReadStreamInteger(stream);
    if (!StoreInDFM)
        return;
    const qint32 n = ReadStreamInteger(stream);
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(ReadStreamBytes(stream, n));
    buffer->open(QIODevice::ReadOnly);
    DFMStream = std::move(buffer);
}

void TfrReport::Loaded()
{
    if (!DFMStream)
        return;
    LoadFromStream(*DFMStream);
    DFMStream.reset();
}

} // namespace reports
