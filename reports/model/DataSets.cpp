#include "reports/model/DataSets.h"

#include "platform/TextCodec.h"

#include <QIODevice>

namespace reports {

using platform::db::Bookmark;
using platform::db::FieldType;

void Dataset::First()
{
    RecNo = 0;
    if (OnFirst)
        OnFirst(*this);
}

void Dataset::Next()
{
    ++RecNo;
    if (RangeEnd == TRangeEnd::reCount && RecNo >= RangeEndCount)
        return;
    if (OnNext)
        OnNext(*this);
}

void Dataset::Prior()
{
    --RecNo;
    if (OnPrior)
        OnPrior(*this);
}

bool Dataset::Eof()
{
    bool eof = RangeEnd == TRangeEnd::reCount && RecNo >= RangeEndCount;
    if (OnCheckEOF)
        OnCheckEOF(*this, eof);
    return eof;
}

// ---------------------------------------------------------------------------

void DBDataSet::SetDataSet(platform::db::DataSet *dataSet)
{
    dataSet_.reset(dataSet);
    dataSource_.reset(nullptr);
}

void DBDataSet::SetDataSource(platform::db::DataSource *dataSource)
{
    dataSource_.reset(dataSource);
    if (dataSource)
        dataSet_.reset(nullptr);
}

platform::db::DataSet &DBDataSet::GetDataSet() const
{
    if (platform::db::DataSource *source = dataSource_.get(); source && source->dataSet())
        return *source->dataSet();
    if (platform::db::DataSet *set = dataSet_.get())
        return *set;
    throw DataSetError(QStringLiteral("Unable to open dataset ") + Name);
}

void DBDataSet::Init()
{
    platform::db::DataSet &ds = GetDataSet();
    if (OpenDataSource)
        ds.open();
    if (OnOpen)
        OnOpen(*this);
    bookmark_.reset();
    if (RangeBegin == TRangeBegin::rbCurrent || RangeEnd == TRangeEnd::reCurrent)
        bookmark_ = ds.getBookmark();
    ended_ = false;
}

void DBDataSet::Exit()
{
    if (bookmark_) {
        platform::db::DataSet &ds = GetDataSet();
        ds.gotoBookmark(*bookmark_);
        ds.freeBookmark(*bookmark_);
        bookmark_.reset();
    }
    if (OnClose)
        OnClose(*this);
    if (CloseDataSource)
        GetDataSet().close();
}

void DBDataSet::First()
{
    platform::db::DataSet &ds = GetDataSet();
    if (RangeBegin == TRangeBegin::rbCurrent && bookmark_)
        ds.gotoBookmark(*bookmark_);
    else
        ds.first();
    ended_ = false;
    Dataset::First();
}

void DBDataSet::Next()
{
    platform::db::DataSet &ds = GetDataSet();
    ended_ = false;
    if (RangeEnd == TRangeEnd::reCurrent && bookmark_ && ds.compareBookmarks(ds.getBookmark(), *bookmark_) == 0) {
        ended_ = true;
        return;
    }
    ds.next();
    Dataset::Next();
}

void DBDataSet::Prior()
{
    GetDataSet().prior();
    Dataset::Prior();
}

bool DBDataSet::Eof()
{
    const bool base = Dataset::Eof();
    return base || GetDataSet().eof() || ended_;
}

// ---------------------------------------------------------------------------

bool IsBlobField(const platform::db::Field &field)
{
    // The engine's blob kinds but for the fixed and varying byte strings.
    const FieldType t = field.dataType();
    return platform::db::isBlobType(t) && t != FieldType::Bytes && t != FieldType::VarBytes;
}

void AssignBlobField(const platform::db::Field &field, QIODevice &stream)
{
    field.saveToStream(stream);
    stream.seek(0);
}

void AssignBlobField(const platform::db::Field &field, QStringList &lines)
{
    const QByteArray bytes = field.asBytes();
    QString text = field.dataType() == FieldType::Memo || field.dataType() == FieldType::FmtMemo
                       ? field.asString()
                       : platform::fromCp1251(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
}

void AssignBlobField(const platform::db::Field &field, QImage &picture)
{
    picture = QImage::fromData(field.asBytes());
}

void GetDataSetFieldNames(platform::db::DataSet *dataSet, QStringList &names)
{
    if (!dataSet)
        return;
    try {
        const QStringList fields = dataSet->fieldNames();
        for (const QString &f : fields)
            names << f;
    } catch (...) {
        // A data set that cannot tell its fields lists none.
    }
}

Bookmark GetBookmark(platform::db::DataSet &dataSet)
{
    return dataSet.getBookmark();
}

void GotoBookmark(platform::db::DataSet &dataSet, const Bookmark &bookmark)
{
    dataSet.gotoBookmark(bookmark);
}

void FreeBookmark(platform::db::DataSet &dataSet, Bookmark &bookmark)
{
    dataSet.freeBookmark(bookmark);
}

bool BookmarksEqual(platform::db::DataSet &dataSet, const Bookmark &a, const Bookmark &b)
{
    return dataSet.compareBookmarks(a, b) == 0;
}

} // namespace reports
