// morvane-batch: runs one export without user interface, for scripts and schedulers (see
// BatchOptions.h for the command line and docs/batch.md). Exit status: 0 the export ran to
// its end, 1 it did not, 2 usage error.
#include "tools/morvane-batch/BatchOptions.h"
#include "tools/morvane-batch/BatchTool.h"
#include "tools/common/LocalTimeZone.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    morvane::PinLocalTimeZone();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("morvane-batch"));

    morvane::BatchRequest request;
    QString problem;
    switch (morvane::ParseBatchArguments(app.arguments().mid(1), request, problem)) {
        case morvane::BatchParse::Help:
            Print(stdout, morvane::BatchUsageText());
            return 0;
        case morvane::BatchParse::Error:
            Print(stderr,
                  QStringLiteral("morvane-batch: ") + problem + u'\n' + morvane::BatchUsageText());
            return 2;
        case morvane::BatchParse::Run:
            break;
    }
    return morvane::BatchTool(request).Run();
}
