// tolvane-render: draws a project's map into a PNG file without a display,
// through the map engine's render job, with the style libraries of the
// program folder.
//
//   tolvane-render project.tvp out.png [--size WxH] [--scale N] [--center X,Y] [--grid] [--program DIR]
//
// The project is read and its layers opened without a window (the map
// engine's headless project, on the offscreen platform of Qt Gui); the
// settings store of the user is read for the program folder only and never
// written, and nothing of the project is changed on disk (an interrupted save
// of a layer is reported, not put right; no snapshots are taken).

#include "mapengine/HeadlessProject.h"
#include "mapengine/RenderJob.h"
#include "mapengine/StyleRenderers.h"
#include "platform/Registry.h"
#include "platform/UserAnswers.h"
#include "platform/gdi/Canvas.h"
#include "tools/ToolUsage.h"

#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <exception>
#include <optional>

namespace {

const char kUsage[] =
    "usage: tolvane-render PROJECT.tvp OUT.png [--size WxH] [--scale N] [--center X,Y] [--grid] [--program DIR]\n"
    "Draws the map of a project into a PNG file, without a display.\n"
    "  --size WxH     picture size in pixels (default 1920x1080)\n"
    "  --scale N      scale denominator 1:N (default: the project's)\n"
    "  --center X,Y   map point in the middle of the picture (default: the project's)\n"
    "  --grid         the grid of crosses\n"
    "  --program DIR  program folder with the style libraries (default: the settings' ProgramDirectory,\n"
    "                 else the current folder)\n";

struct Options {
    QString project, output, programDir;
    int width = 1920, height = 1080;
    std::optional<double> scale;
    std::optional<QPointF> center;
    bool grid = false;
};

bool parseNumber(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

// Empty when the arguments are good, else what is wrong.
QString parse(const QStringList &args, Options &o)
{
    QStringList files;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        QString v;
        if (a == u"--grid") {
            o.grid = true;
        } else if (a == u"--size") {
            if (!value(v))
                return QStringLiteral("--size needs WxH");
            const QStringList wh = v.split(u'x');
            bool okW = false, okH = false;
            if (wh.size() == 2) {
                o.width = wh[0].toInt(&okW);
                o.height = wh[1].toInt(&okH);
            }
            if (!okW || !okH || o.width < 1 || o.height < 1 || o.width > 20000 || o.height > 20000)
                return QStringLiteral("bad --size: ") + v;
        } else if (a == u"--scale") {
            double s = 0;
            if (!value(v) || !parseNumber(v, s) || s < 1)
                return QStringLiteral("bad --scale: ") + v;
            o.scale = s;
        } else if (a == u"--center") {
            const QStringList xy = value(v) ? v.split(u',') : QStringList();
            double x = 0, y = 0;
            if (xy.size() != 2 || !parseNumber(xy[0], x) || !parseNumber(xy[1], y))
                return QStringLiteral("bad --center: ") + v;
            o.center = QPointF(x, y);
        } else if (a == u"--program") {
            if (!value(o.programDir))
                return QStringLiteral("--program needs a folder");
        } else if (a.startsWith(u"--")) {
            return QStringLiteral("unknown option ") + a;
        } else {
            files << a;
        }
    }
    if (files.size() != 2)
        return QStringLiteral("a project and an output file are needed");
    o.project = files[0];
    o.output = files[1];
    return {};
}

// Messages go to the error stream; questions are answered no.
class PrintedAnswers : public platform::UserAnswers {
public:
    int messageDlg(const QString &text, platform::MsgType, unsigned, const QString &) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return platform::mrNo;
    }
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &) override { return {}; }
    QString selectDirectory(const QString &, const QString &) override { return {}; }
    bool chooseColor(int &) override { return false; }
    bool chooseFont(platform::FontChoice &) override { return false; }
    bool choosePrinter(platform::PrinterChoice &) override { return false; }
    int runModal(QDialog &) override { return platform::mrCancel; }
};

int render(const Options &o)
{
    platform::Registry &registry = platform::Registry::instance();
    QString programDir = o.programDir;
    if (programDir.isEmpty()) {
        try {
            programDir = registry.readString(platform::RegRoot::LocalMachine, u"\\SOFTWARE\\Tolvane 2",
                                             u"ProgramDirectory")
                             .value_or(QString());
        } catch (const std::exception &) {
        }
    }
    if (programDir.trimmed().isEmpty())
        programDir = QDir::currentPath();
    // Reading the project makes its data folder the current folder.
    programDir = QFileInfo(programDir).absoluteFilePath();
    const QString output = QFileInfo(o.output).absoluteFilePath();

    // Nothing of the user's store is read from here on, and nothing written.
    QTemporaryDir store;
    registry.setStorageFile(QDir(store.path()).filePath(QStringLiteral("registry.reg")));
    PrintedAnswers printed;
    const platform::ScopedService<platform::UserAnswers> answers(printed);

    // Pictures are measured against one reference screen whatever the
    // machine: 1920 × 1080 pixels on 508 × 286 mm (96 dots per inch), the
    // virtual display's.
    const platform::ScopedService<platform::gdi::ScreenMetrics> screen(platform::gdi::DeviceMetrics{1920, 1080, 508, 286, 96, 96});

    MapControlCore map;
    map.SetProgramDir(programDir);
    // Drawing changes nothing of the project: no save is put right, no
    // snapshot taken or deleted.
    map.setReadOnlyFiles(true);
    mapengine::HeadlessProject project(map);
    if (!project.Read(o.project)) {
        std::fprintf(stderr, "Не найден файл проекта %s\n", qPrintable(o.project));
        return 1;
    }
    map.SetClientSize(o.width, o.height);
    map.ResetPicture();
    if (o.scale)
        map.SetScale(MapControlCore::DenominatorToScale(*o.scale));
    if (o.center) {
        map.SetCentre(o.center->x(), o.center->y());
    }

    mapengine::StyleServices styles;
    styles.SetFrameSize(o.width, o.height);
    styles.LoadStyleLibraries(programDir);
    mapengine::RenderHooks hooks;
    mapengine::RenderJob job(map, mapengine::RenderServices{&styles, &hooks});
    job.Run(mapengine::drawingOrder(map), mapengine::RenderOptions{o.grid, false});
    if (!job.PictureImage().save(output, "PNG")) {
        std::fprintf(stderr, "Невозможно записать файл %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(kUsage);
    Options options;
    const QString error = parse(args, options);
    if (!error.isEmpty())
        return tools::wrongArguments("tolvane-render", qPrintable(error), kUsage);
    // Nothing is shown: text is laid out with Qt Gui on the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        return render(options);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
