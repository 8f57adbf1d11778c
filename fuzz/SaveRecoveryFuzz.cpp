// Lays out the files that stopped saves, older versions and other hands
// leave beside a layer ("plots"), as the input describes them, and puts the
// interrupted save right as opening the layer does. Recovery may move or
// delete only files that a whole marker of this version names; every other
// file stays as it was, under its name (with an older version's markers,
// whose files recovery may swap, no bytes of any file are lost). A second
// recovery after one that went through has nothing left to do.
//
// Input: a list of items, each beginning with a kind byte.
// - even: a file. A name byte (an index into the names below), a length
//   byte, that many bytes of content.
// - odd: a marker written as this version writes them. A byte for which
//   marker (begun, done, swap), an entry count byte, then per entry five
//   bytes: role, extension, name, layer file name, and whose size and digest
//   it states (a file laid out so far, else a made-up one); then a byte that
//   cuts the text short when not 0.

#include "FuzzSupport.h"
#include "mapdata/MapDataCore.h"
#include "mapdata/SaveMarkers.h"
#include "platform/UserAnswers.h"

#include <map>
#include <set>

namespace {

// What recovery may come across: the layer's files, its new and old files
// under either mark, the markers, the journal's new index, neighbours and
// names no save gives (used only inside markers, where they must be refused).
const char *const Names[] = {
    "plots.shp",    "plots.shx",    "plots.dbf",    "plots~.shp",   "plots~.shx",     "plots~.dbf",
    "plots~.dbf.part", "plots`.shp", "plots`.shx",   "plots`.dbf",   "plots~1.shp",    "plots~1.shx",
    "plots~1.dbf",  "plots`1.shp",  "plots`1.shx",  "plots`1.dbf",  "updates~.mhx",   "plots~.Save",
    "plots~.Done",  "plots~.Swap",  "other.shp",    "PLOTS~.SHP",   "plots~~.shp",    "plots~.shp.part",
    "../plots~.shp", "sub/plots~.shp", "plots~.shx.part", "Plots.Shp", "plots~123.shp", "",
};
constexpr int NameCount = sizeof(Names) / sizeof(Names[0]);
// The names that are files in the folder: plain ones.
bool fileName(int i) { return i < 24 && Names[i][0] != '\0'; }
const char *const MarkerNames[] = {"plots~.Save", "plots~.Done", "plots~.Swap"};

class Core : public MapDataCore {
public:
    using MapDataCore::recoverLayerSave;
    using MapDataCore::SaveRecovery;
};

// Messages are heard by no one.
struct Silent : platform::UnattendedAnswers {
    int messageDlg(const QString &, platform::MsgType, unsigned, const QString &) override { return platform::mrOk; }
};

const QString &folder()
{
    static const QString dir = fuzzsupport::scratchPath("save_recovery");
    return dir;
}

QString pathOf(const QString &name) { return folder() + u'/' + name; }

std::map<QString, QByteArray> folderState()
{
    std::map<QString, QByteArray> out;
    for (const QString &name : QDir(folder()).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(pathOf(name));
        if (f.open(QIODevice::ReadOnly))
            out[name] = f.readAll();
    }
    return out;
}

// Reads bytes off the input, zeros past its end.
struct Input {
    const std::uint8_t *data;
    std::size_t size, pos = 0;
    bool more() const { return pos < size; }
    int byte() { return pos < size ? data[pos++] : 0; }
    QByteArray bytes(int n)
    {
        const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(n), size - pos);
        QByteArray out(reinterpret_cast<const char *>(data + pos), static_cast<qsizetype>(take));
        pos += take;
        return out;
    }
};

// The names a marker text names, read plainly: fields 3 and 4 of each line
// of a text that begins and ends as a whole marker does.
void namedBy(const QByteArray &text, std::set<QString> &names)
{
    if (!text.startsWith("TOLVANE LAYER SAVE\n") || !text.endsWith("\nend\n"))
        return;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 3)
            names.insert(QString::fromUtf8(fields[2]).toLower());
        if (fields.size() >= 4)
            names.insert(QString::fromUtf8(fields[3]).toLower());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    static Silent silent;
    static platform::ScopedService<platform::UserAnswers> answers(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
    Input in{data, size};
    for (int items = 0; in.more() && items < 24; ++items) {
        const int kind = in.byte();
        if (kind % 2 == 0) {
            const int name = in.byte() % NameCount;
            const QByteArray content = in.bytes(in.byte());
            if (fileName(name))
                fuzzsupport::writeFile(pathOf(QString::fromLatin1(Names[name])), content);
            continue;
        }
        const char *marker = MarkerNames[in.byte() % 3];
        std::vector<savemarks::Entry> entries;
        for (int n = in.byte() % 8; n > 0; --n) {
            savemarks::Entry e;
            e.role = static_cast<savemarks::Role>(in.byte() % 4);
            e.ext = in.byte() % 4 - 1;
            e.name = QString::fromLatin1(Names[in.byte() % NameCount]);
            const int target = in.byte();
            const int idOf = in.byte();
            if (target % 2) {
                e.target = QString::fromLatin1(Names[(target / 2) % NameCount]);
                e.id = idOf < NameCount && fileName(idOf)
                           ? savemarks::idOfFile(pathOf(QString::fromLatin1(Names[idOf])))
                           : savemarks::idOfBytes(QByteArray(1, char(idOf)));
                if (e.id.size < 0)
                    e.id = savemarks::idOfBytes({});
            }
            entries.push_back(e);
        }
        QByteArray text = savemarks::markerText(entries);
        if (const int cut = in.byte())
            text.truncate(std::max<qsizetype>(text.size() - cut, 0));
        fuzzsupport::writeFile(pathOf(QString::fromLatin1(marker)), text);
    }

    const std::map<QString, QByteArray> before = folderState();
    std::set<QString> named;
    for (const char *m : MarkerNames)
        if (auto it = before.find(QString::fromLatin1(m)); it != before.end())
            namedBy(it->second, named);
    auto found = [&](const char *name) { return before.count(QString::fromLatin1(name)) > 0; };
    const bool older = !found("plots~.Save") && found("plots~.Done") && found("plots~.Swap") &&
                       before.at(QStringLiteral("plots~.Done")).isEmpty();

    Core core;
    core.SetWorkDir(folder());
    const Core::SaveRecovery first = core.recoverLayerSave(QStringLiteral("plots.shp"), mapdata::defaultFileOps());
    const std::map<QString, QByteArray> after = folderState();

    std::multiset<QByteArray> kept;
    for (const auto &[name, bytes] : after)
        kept.insert(bytes);
    auto isMarker = [](const QString &name) {
        return std::any_of(std::begin(MarkerNames), std::end(MarkerNames),
                           [&](const char *m) { return name == QLatin1String(m); });
    };
    for (const auto &[name, bytes] : before) {
        if (named.count(name.toLower()) || isMarker(name))
            continue;
        if (older) {
            // Swapped perhaps, never lost.
            const auto it = kept.find(bytes);
            if (it == kept.end())
                __builtin_trap();
            kept.erase(it);
        } else {
            const auto it = after.find(name);
            if (it == after.end() || it->second != bytes)
                __builtin_trap();
        }
    }

    if (first.ok) {
        const Core::SaveRecovery second =
            core.recoverLayerSave(QStringLiteral("plots.shp"), mapdata::defaultFileOps());
        if (second.acted || folderState() != after)
            __builtin_trap();
    }
    return 0;
}
