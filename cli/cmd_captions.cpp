#include "cli/clicommand.h"

#include "app/captionfiles.h"
#include "store/tdmorvs.h"

namespace {
const QString usage = QStringLiteral("Usage: pennavox-cli captions export LANG FILE | captions import FILE "
                                     "(LANG: Czech, Spanish, Romania, Deutsch, French, Hungary or cs, es, ro, "
                                     "de, fr, hu)");

int failed(CliContext &ctx, const QString &text, int code = 1)
{
    ctx.sink.failure(text);
    return code;
}

int runCaptions(CliContext &ctx)
{
    const QStringList a = ctx.args;
    if (a.size() == 3 && a[0] == QLatin1String("export")) {
        const QString language = CaptionFiles::languageFromText(a[1]);
        if (language.isEmpty())
            return failed(ctx, QStringLiteral("Unknown language %1. ").arg(a[1]) + usage, 2);
        const CaptionFiles::File file = CaptionFiles::fromTable(ctx.dm(), language);
        QString error;
        if (!CaptionFiles::save(a[2], file, &error))
            return failed(ctx, error);
        ctx.sink.success(QStringLiteral("%1 captions of %2 written to %3").arg(file.entries.size()).arg(language, a[2]));
        return 0;
    }
    if (a.size() == 2 && a[0] == QLatin1String("import")) {
        CaptionFiles::File file;
        QString error;
        if (!CaptionFiles::read(a[1], &file, &error))
            return failed(ctx, error + QStringLiteral("; nothing changed"));
        const int before = CaptionFiles::rowCount(ctx.dm(), file.language);
        const int n = CaptionFiles::store(ctx.dm(), file);
        ctx.sink.success(QStringLiteral("%1 captions of %2 stored (%3 replaced)").arg(n).arg(file.language).arg(before));
        return 0;
    }
    return failed(ctx, usage, 2);
}

const CliRegistrar reg{{QStringLiteral("captions"), QStringLiteral("captions export LANG FILE | import FILE"),
                        QStringLiteral("writes a language's captions to a file, or replaces them by a file's"),
                        runCaptions}};
} // namespace
