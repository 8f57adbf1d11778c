#pragma once
// The data sources of report bands (TfrDataset): a band moves through its
// records with Init, First, Eof/Next (Prior while a group footer looks back)
// and Exit. A user data set's records are what its events say; a database
// data set walks a data set of the database engine, directly or through a
// data source. Also the adapters the engine and the designer use on the
// database engine's fields and bookmarks.

#include "platform/db/DataSource.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

class QIODevice;

namespace reports {

enum class TRangeBegin { rbFirst = 0, rbCurrent = 1 };
enum class TRangeEnd { reLast = 0, reCurrent = 1, reCount = 2 };

class Dataset {
public:
    virtual ~Dataset() = default;

    QString Name;
    TRangeBegin RangeBegin = TRangeBegin::rbFirst;
    TRangeEnd RangeEnd = TRangeEnd::reLast;
    int RangeEndCount = 0;
    // The current record, counted from 0 since the last First.
    int RecNo = 0;
    std::function<void(Dataset &)> OnFirst;
    std::function<void(Dataset &)> OnNext;
    std::function<void(Dataset &)> OnPrior;
    // Receives the answer of Eof and may change it.
    std::function<void(Dataset &, bool &eof)> OnCheckEOF;

    virtual void Init() {}
    virtual void Exit() {}
    virtual void First();
    // Counts the record, unless a counted range is used up.
    virtual void Next();
    virtual void Prior();
    // True once a counted range is used up; then OnCheckEOF decides.
    virtual bool Eof();
};

// Records are what the events say; without OnCheckEOF or a counted range it
// never ends by itself.
class UserDataset : public Dataset {};

// "Unable to open dataset <name>": a database data set with nothing to read.
class DataSetError : public std::runtime_error {
public:
    explicit DataSetError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

class DBDataSet : public Dataset {
public:
    bool OpenDataSource = true;
    bool CloseDataSource = false;
    std::function<void(Dataset &)> OnOpen;
    std::function<void(Dataset &)> OnClose;

    // Setting a data set clears the data source; setting a data source clears
    // the data set. Both references clear themselves when what they name is
    // destroyed.
    void SetDataSet(platform::db::DataSet *dataSet);
    platform::db::DataSet *DataSet() const { return dataSet_.get(); }
    void SetDataSource(platform::db::DataSource *dataSource);
    platform::db::DataSource *DataSource() const { return dataSource_.get(); }
    // The data source's data set when it has one, else the data set; raises
    // DataSetError with neither.
    platform::db::DataSet &GetDataSet() const;

    // Opens the data set when asked to and keeps the current record when a
    // range starts or ends there.
    void Init() override;
    // Returns to the kept record, then closes the data set when asked to.
    void Exit() override;
    void First() override;
    // With the range ending at the kept record the data set moves on only
    // until that record has been printed: the range ends when Next is called
    // on it (or at the end of the data set).
    void Next() override;
    void Prior() override;
    bool Eof() override;

private:
    platform::db::DataSetRef dataSet_;
    platform::db::DataSource::Ref dataSource_;
    std::optional<platform::db::Bookmark> bookmark_;
    bool ended_ = false;
};

// The field kinds whose content is a blob: binary, memo, graphic, formatted
// memo, the OLE kinds and typed binary.
bool IsBlobField(const platform::db::Field &field);
// The field's content into a stream (written, then positioned at its start),
// a list of lines or a picture.
void AssignBlobField(const platform::db::Field &field, QIODevice &stream);
void AssignBlobField(const platform::db::Field &field, QStringList &lines);
void AssignBlobField(const platform::db::Field &field, QImage &picture);
// The data set's field names; an error leaves the list as far as it got.
void GetDataSetFieldNames(platform::db::DataSet *dataSet, QStringList &names);

platform::db::Bookmark GetBookmark(platform::db::DataSet &dataSet);
void GotoBookmark(platform::db::DataSet &dataSet, const platform::db::Bookmark &bookmark);
void FreeBookmark(platform::db::DataSet &dataSet, platform::db::Bookmark &bookmark);
bool BookmarksEqual(platform::db::DataSet &dataSet, const platform::db::Bookmark &a, const platform::db::Bookmark &b);

} // namespace reports
