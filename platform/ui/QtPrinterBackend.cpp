#include "platform/ui/QtPrinterBackend.h"

#include "platform/UserAnswers.h"

#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinterInfo>

namespace platform {

namespace {

constexpr int kUserSize = 256;

QPageSize pageSizeOf(const DeviceMode &mode) { return pageSizeOfPaper({mode.paperSize, mode.paperWidth, mode.paperLength}); }

} // namespace

QPageSize pageSizeOfPaper(const Paper &paper)
{
    if (paper.code != kUserSize) {
        const QPageSize::PageSizeId id = QPageSize::id(paper.code);
        const PaperSizeRow *row = findPaperSize(paper.code);
        // Qt's page of that code where its size is the table's (some codes
        // differ by a millimetre); else the table's size as it stands.
        if (id != QPageSize::Custom) {
            const QPageSize qt(id);
            const QSizeF mm = qt.size(QPageSize::Millimeter);
            if (qt.isValid() && (!row || (std::abs(qRound(mm.width() * 10) - row->width) <= kPaperSizeTolerance &&
                                          std::abs(qRound(mm.height() * 10) - row->height) <= kPaperSizeTolerance)))
                return qt;
        }
        if (row)
            return QPageSize(QSizeF(row->width / 10.0, row->height / 10.0), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
    }
    if (paper.width > 0 && paper.length > 0)
        return QPageSize(QSizeF(paper.width / 10.0, paper.length / 10.0), QPageSize::Millimeter);
    return QPageSize(QPageSize::A4);
}

Paper paperOfPageSize(const QPageSize &size)
{
    const QSizeF mm = size.size(QPageSize::Millimeter);
    Paper paper{kUserSize, qRound(mm.width() * 10), qRound(mm.height() * 10)};
    // Qt's own code when the table has it for this size, else the table's
    // paper of the size.
    const PaperSizeRow *row = findPaperSize(size.windowsId());
    if (row && row->code != kUserSize && std::abs(row->width - paper.width) <= kPaperSizeTolerance &&
        std::abs(row->height - paper.length) <= kPaperSizeTolerance)
        paper.code = row->code;
    else
        paper.code = paperCodeOfSize(paper.width, paper.length);
    return paper;
}

QtPrinterBackend::QtPrinterBackend() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    names_ = QPrinterInfo::availablePrinterNames();
    index_ = static_cast<int>(names_.indexOf(QPrinterInfo::defaultPrinterName()));
    if (index_ < 0 && !names_.isEmpty())
        index_ = 0;
    if (index_ >= 0)
        printer_->setPrinterName(names_[index_]);
}

QtPrinterBackend::~QtPrinterBackend() = default;

void QtPrinterBackend::setPrinterIndex(int index)
{
    if (index < 0 || index >= names_.size())
        return;
    index_ = index;
    printer_->setPrinterName(names_[index]);
    applyOutput();
}

QString QtPrinterBackend::deviceName() const
{
    return index_ >= 0 ? names_[index_] : QString();
}

bool QtPrinterBackend::printing() const
{
    return printer_->printerState() == QPrinter::Active;
}

std::optional<DeviceMode> QtPrinterBackend::deviceMode()
{
    if (index_ < 0 || !printer_->isValid())
        return std::nullopt;
    DeviceMode mode;
    mode.fields = DeviceMode::Orientation | DeviceMode::PaperSize | DeviceMode::Copies | DeviceMode::DefaultSource;
    const QPageLayout layout = printer_->pageLayout();
    const Paper paper = paperOfPageSize(layout.pageSize());
    mode.paperSize = paper.code;
    mode.paperWidth = paper.width;
    mode.paperLength = paper.length;
    mode.orientation = layout.orientation() == QPageLayout::Portrait ? 1 : 2;
    mode.copies = printer_->copyCount();
    return mode;
}

void QtPrinterBackend::setDeviceMode(const DeviceMode &mode)
{
    if (mode.fields & (DeviceMode::PaperSize | DeviceMode::PaperLength))
        printer_->setPageSize(pageSizeOf(mode));
    if (mode.fields & DeviceMode::Orientation)
        printer_->setPageOrientation(mode.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (mode.fields & DeviceMode::Copies)
        printer_->setCopyCount(std::max(1, mode.copies));
}

void QtPrinterBackend::resetDeviceMode()
{
    const QString name = deviceName();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!name.isEmpty()) {
        printer_->setPrinterName(name);
        const QPrinterInfo info(*printer_);
        printer_->setPageSize(info.defaultPageSize());
    }
    applyOutput();
}

void QtPrinterBackend::setOutputFile(const QString &pdfFile)
{
    outputFile_ = pdfFile;
    applyOutput();
}

void QtPrinterBackend::applyOutput()
{
    if (outputFile_.isEmpty()) {
        printer_->setOutputFileName(QString());
        printer_->setOutputFormat(QPrinter::NativeFormat);
        if (index_ >= 0)
            printer_->setPrinterName(names_[index_]);
    } else {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(outputFile_);
    }
}

QPaintDevice *QtPrinterBackend::beginDoc(const QString &title)
{
    if (printing() || (outputFile_.isEmpty() && (index_ < 0 || !printer_->isValid())))
        return nullptr;
    printer_->setDocName(title);
    return printer_.get();
}

bool QtPrinterBackend::newPage()
{
    return printing() && printer_->newPage();
}

void QtPrinterBackend::abortDoc()
{
    if (printing())
        printer_->abort();
}

bool QtPrinterBackend::canMakeCopies() const
{
    return printer_->supportsMultipleCopies();
}

void QtPrinterBackend::setCopies(int copies)
{
    printer_->setCopyCount(std::max(1, copies));
}

PrinterCaps QtPrinterBackend::caps() const
{
    PrinterCaps c;
    const QRect paper = printer_->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer_->pageRect(QPrinter::DevicePixel).toRect();
    c.physicalWidth = paper.width();
    c.physicalHeight = paper.height();
    c.physicalOffsetX = page.left() - paper.left();
    c.physicalOffsetY = page.top() - paper.top();
    c.logPixelsX = printer_->logicalDpiX();
    c.logPixelsY = printer_->logicalDpiY();
    c.pageWidth = page.width();
    c.pageHeight = page.height();
    return c;
}

std::vector<PrinterChoiceItem> QtPrinterBackend::paperSizes() const
{
    std::vector<PrinterChoiceItem> out;
    const QPrinterInfo info(*printer_);
    for (const QPageSize &size : info.supportedPageSizes()) {
        const int code = size.windowsId();
        if (code > 0 && code != kUserSize)
            out.push_back({code, size.name()});
    }
    return out;
}

bool QtPrinterBackend::editDeviceMode(DeviceMode &mode)
{
    QPrinter copy(QPrinter::HighResolution);
    copy.setPrinterName(deviceName());
    copy.setPageSize(pageSizeOf(mode));
    copy.setPageOrientation(mode.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPageSetupDialog dialog(&copy);
    if (answers().runModal(dialog) != mrOk)
        return false;
    const QPageLayout layout = copy.pageLayout();
    const Paper paper = paperOfPageSize(layout.pageSize());
    mode.paperSize = paper.code;
    mode.paperWidth = paper.width;
    mode.paperLength = paper.length;
    mode.orientation = layout.orientation() == QPageLayout::Portrait ? 1 : 2;
    mode.fields |= DeviceMode::PaperSize | DeviceMode::Orientation;
    if (mode.paperSize == kUserSize)
        mode.fields |= DeviceMode::PaperLength | DeviceMode::PaperWidth;
    return true;
}

} // namespace platform
