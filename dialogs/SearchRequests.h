#pragma once
// What the search window decides without a window: the search SQL it builds
// from the three search texts, the three kinds of search request (an SQL
// statement, "layer=...,field=...,value=..." lines, addresses split by "#"),
// the texts of the quick-search list, the extent of the found objects, and the
// framing of requests that other programs send over the local socket.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace dialogs::search {

// A layer's table: its file name without the extension + ".Dbf".
QString layerTableName(const QString &layerFileName);
// A layer's base name: the file name without its folder, in lower case, up
// to its first ".".
QString layerBaseName(const QString &layerFileName);

// The search fields a layer names (empty: none) and the texts typed for them.
struct SearchFields {
    QString object, street, house;
};

// The search SQL as lines: "Select *", "From "<table>"", one Like condition
// per typed text whose field the layer has (contains for object and street,
// begins with for the house), then "ORDER BY" the fields of the conditions.
QStringList buildSearchSql(const QString &tableName, const SearchFields &fields, const SearchFields &texts);
// "Select <field> From "<table in lower case>" Group By <field>".
QString valueListSql(const QString &field, const QString &tableName);
// "Select *", "From "<table>"", "Order by <field> ASC|DESC".
QStringList sortSql(const QString &tableName, const QString &field, bool ascending);

enum class RequestForm { Sql, Field, Address };
RequestForm classifyRequest(const QString &request);
// The lines of a request: its line breaks alone cut it.
QStringList requestLines(const QString &request);

// Why a request is refused before anything changes, or empty: an empty
// request, an SQL form that is no single select (anything that writes), a
// field line whose pieces cannot be read.
QString refusalOf(const QString &request);

// One line of the field form, read as keys and values.
struct FieldRequest {
    QString layer, field, value;
};
// Whether a line is of the field form (it holds "layer=", "field=" and
// "value=" in any case).
bool isFieldLine(const QString &line);
// The pieces of a field line (cut at commas; a piece without "=" belongs to
// the value before it, so a quoted value keeps its commas). Values lose
// their double quotes (they become blanks) or, unquoted, have "." turned into
// ","; then they are trimmed. Keys compare in lower case without trimming,
// and a later key wins. Empty when the line has more than ten pieces.
std::optional<FieldRequest> parseFieldLine(const QString &line);

// One address of the address form.
struct AddressItem {
    QString street, house;
};
// Every "#"-separated item of the lines, trimmed, empty ones left out; the
// street before the first comma, the house up to the next one.
std::vector<AddressItem> addressItems(const QStringList &lines);

// The kind of a layer's hit by the search fields it has: 1 street and house,
// 2 street only, 3 house only, 0 neither.
int hitKind(bool hasStreetField, bool hasHouseField);
// The kind that fits what was typed: 1 both, 2 street only, 3 house only, 0
// nothing.
int typedKind(const QString &street, const QString &house);
// The value column of the quick-search list: "street, house" when both are
// non-empty, else the one there is.
QString hitText(const QString &street, const QString &house);

// The extent of the found boxes: per axis the smallest positive minimum and
// the largest positive maximum; 0 where no positive value came.
struct FoundExtent {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    int boxes = 0;
    void add(double x1, double y1, double x2, double y2);
};

// Requests over the local socket: a 4-byte little-endian length and that
// many bytes, at most kMaxRequest; the text ends at its first zero byte. The
// answer is framed the same way: a status byte (0 handled, 1 refused) and a
// UTF-8 text.
inline constexpr int kMaxRequest = 64 * 1024;
enum class FrameStatus { Incomplete, Complete, Oversized };
struct Frame {
    FrameStatus status = FrameStatus::Incomplete;
    QByteArray text;  // the payload up to its first zero byte
    qsizetype used = 0; // bytes of the buffer the frame took
};
Frame decodeFrame(QByteArrayView buffer);
QByteArray encodeFrame(QByteArrayView payload);
// The local socket's name: the window class and the user's name.
QString requestServerName();

} // namespace dialogs::search
