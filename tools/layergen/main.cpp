// Writes the layers of the program folder from their readable descriptions:
//
//   layergen templates <templates.txt> <folder>   the layer templates ("Default")
//   layergen demo <demo.txt> <folder>             the demo project and its data folder
//
// Every file is made in memory first; a description with a slip is refused,
// naming its line, and nothing is written.

#include "tools/layergen/LayerGen.h"

#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/db/DbTypes.h"
#include "tools/ToolUsage.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <exception>

namespace {

constexpr char Usage[] = "usage: layergen templates|demo <description> <folder>\n"
                         "  templates: the layer templates (\"Default\") from resources/layers/templates.txt\n"
                         "  demo: the demo project and its data folder from resources/demo/demo.txt\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "layergen: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    if (argc != 4)
        return tools::wrongArguments("layergen", "a job, a description and a folder are needed", Usage);
    const QString job = QString::fromLocal8Bit(argv[1]);
    if (job != u"templates" && job != u"demo")
        return tools::wrongArguments("layergen", "the job is \"templates\" or \"demo\"", Usage);
    const QString description = QString::fromLocal8Bit(argv[2]);
    const QString folder = QString::fromLocal8Bit(argv[3]);
    layergen::Outputs files;
    try {
        const layergen::Description d = layergen::Description::read(description);
        if (job == u"templates")
            files = layergen::makeTemplates(d, folder);
        else
            files = layergen::makeDemo(d, folder);
    } catch (const layergen::DescriptionError &e) {
        return fail(e.message());
    } catch (const platform::db::DbError &e) {
        return fail(description + QStringLiteral(": ") + e.message());
    } catch (const std::exception &e) {
        return fail(description + QStringLiteral(": ") + QString::fromUtf8(e.what()));
    }
    for (const layergen::OutputFile &f : files) {
        const QString dir = platform::extractFilePath(f.path);
        if (!dir.isEmpty() && !QDir().mkpath(dir))
            return fail(QStringLiteral("cannot make the folder %1").arg(dir));
        if (!platform::writeFileAtomically(f.path, f.bytes))
            return fail(QStringLiteral("cannot write %1").arg(f.path));
    }
    return 0;
}
