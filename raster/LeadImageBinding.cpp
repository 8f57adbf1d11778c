// The shown control bound to a blob field: the image follows the current
// record and is written back, behind its header, when the record is posted.

#include "raster/LeadImageBlob.h"
#include "raster/LeadImageDisplay.h"
#include "raster/LeadImageFieldLink.h"

#include "platform/imaging/ImagingErrors.h"
#include "platform/imaging/MemoryImage.h"

namespace raster {

namespace img = platform::imaging;
namespace db = platform::db;

namespace {

// The column types an image can be kept in.
bool holdsImage(db::FieldType t)
{
    return t == db::FieldType::Bytes || t == db::FieldType::Blob || t == db::FieldType::Graphic
        || t == db::FieldType::TypedBinary;
}

} // namespace

db::DataSource *TLEADImageDisplay::DataSource() const
{
    return link_ ? link_->source.get() : nullptr;
}

void TLEADImageDisplay::SetDataSource(db::DataSource *source)
{
    if (!link_)
        link_ = std::make_unique<ImageFieldLink>(*this);
    link_->source.reset(source);
    LastError = img::SUCCESS;
    if (source) {
        store("DataSaveBits", 24);
        store("DataSaveFormat", img::FILE_MEMORY);
        store("DataSaveQuality", -5);
    }
    link_->attach(source ? source->dataSet() : nullptr);
    if (link_->field())
        LoadFromDataField();
}

QString TLEADImageDisplay::DataField() const
{
    return link_ ? link_->fieldName() : QString();
}

void TLEADImageDisplay::SetDataField(const QString &name)
{
    if (!link_)
        link_ = std::make_unique<ImageFieldLink>(*this);
    if (!name.isEmpty() && link_->dataSet() && link_->dataSet()->active()
        && !holdsImage(link_->dataSet()->fieldByName(name).dataType()))
        throw EInvalidFieldType();
    link_->setFieldName(name);
    store("DataField", name);
    LastError = img::SUCCESS;
    if (link_->field())
        LoadFromDataField();
}

bool TLEADImageDisplay::ReadOnly() const
{
    return link_ && link_->readOnly;
}

void TLEADImageDisplay::SetReadOnly(bool on)
{
    if (!link_)
        link_ = std::make_unique<ImageFieldLink>(*this);
    link_->readOnly = on;
    store("ReadOnly", on);
    LastError = img::SUCCESS;
}

int TLEADImageDisplay::LoadFromDataField()
{
    db::Field *field = link_ ? link_->field() : nullptr;
    if (!field || !holdsImage(field->dataType()))
        return img::SUCCESS;
    readingField_ = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{readingField_};
    ClearImage();
    int r = img::SUCCESS;
    if (!field->isNull()) {
        const QByteArray data = blobImageBytes(field->asBytes());
        img::Bitmap loaded;
        r = img::loadBitmapMemory(data, int_("DataLoadBits"), loaded);
        if (r == img::SUCCESS) {
            TakeImage(loaded);
            if (img::FileInfo info; img::fileInfoMemory(data, info) == img::SUCCESS) {
                InfoFormat = info.format;
                InfoWidth = info.width;
                InfoHeight = info.height;
                InfoBits = info.bits;
                InfoText = info.text;
                InfoXRes = info.xResolution;
                InfoYRes = info.yResolution;
                InfoTotalPages = 1;
            }
            ImageEvent(5);
        }
    }
    dataModified_ = false;
    BitmapChanged();
    dataModified_ = false;
    return CheckResult(QStringLiteral("DataField"), r, true);
}

void TLEADImageDisplay::saveToDataField()
{
    db::Field *field = link_ ? link_->field() : nullptr;
    if (!field)
        return;
    if (!HasBitmap) {
        field->clear();
        return;
    }
    if (!holdsImage(field->dataType()))
        return;
    const bool progress = EnableProgressEvent();
    store("EnableProgressEvent", false);
    QByteArray bytes;
    const int r = img::saveBitmapMemory(Bitmap, int_("DataSaveFormat"), int_("DataSaveBits"), int_("DataSaveQuality"),
                                        bytes);
    store("EnableProgressEvent", progress);
    LastError = r;
    if (r != img::SUCCESS)
        return; // the field keeps what it had
    dataModified_ = false;
    field->setAsBytes(wrapBlobImage(bytes));
}

void TLEADImageDisplay::markDataModified()
{
    if (readingField_ || !link_)
        return;
    db::Field *field = link_->field();
    if (!field || !holdsImage(field->dataType()))
        return;
    dataModified_ = true;
    if (link_->editing())
        link_->setModified();
}

} // namespace raster
